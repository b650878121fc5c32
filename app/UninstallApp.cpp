// UninstallApp.cpp : the application object of the uninstaller
//

#include "app/UninstallApp.h"
#include "app/UninstallDlg.h"

/////////////////////////////////////////////////////////////////////////////
// CUninstallApp

BEGIN_MESSAGE_MAP(CUninstallApp, CWinApp)
	ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

/////////////////////////////////////////////////////////////////////////////
// CUninstallApp construction

// No name: the framework takes the application title from the string table,
// and every message box of the program is captioned with it.
CUninstallApp::CUninstallApp()
	: CWinApp(NULL)
{
}

/////////////////////////////////////////////////////////////////////////////
// The one and only CUninstallApp object

CUninstallApp theApp;

/////////////////////////////////////////////////////////////////////////////
// CUninstallApp initialization

// Runs the main dialog and ends the program: FALSE keeps the framework from
// starting its own message loop.
BOOL CUninstallApp::InitInstance()
{
	Enable3dControlsStatic();	// Call this when linking to MFC statically

	CUninstallDlg dlg;
	m_pMainWnd = &dlg;
	dlg.DoModal();

	// Since the dialog has been closed, return FALSE so that we exit the
	//  application, rather than start the application's message pump.
	return FALSE;
}
