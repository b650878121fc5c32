// UninstallDlg.cpp : the main dialog of the uninstaller
//

#include "app/UninstallDlg.h"

#include <cstdio>
#include <cstdlib>

// FIXME: the template id comes from the resource header (IDD_UNINSTALL_DIALOG).
static const UINT nUninstallDialogTemplate = 102;

// Stops the program where a part of the dialog that is not built yet would run.
static void NotBuiltYet(LPCTSTR lpszWhat)
{
	fprintf(stderr, "%s: not built yet\n", lpszWhat);
	abort();
}

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg construction

CUninstallDlg::CUninstallDlg(CWnd* pParent /*=NULL*/)
	: CDialog(nUninstallDialogTemplate, pParent)
{
	m_bDeleteStockBook = TRUE;
	// FIXME: load IDR_MAINFRAME with LoadIcon once resources exist.
	m_hIcon = NULL;
}

// Binds the install folder control and the stock-book check box.
void CUninstallDlg::DoDataExchange(CDataExchange* pDX)
{
	// FIXME: DDX_Control(IDC_INSTALL_DIR) and DDX_Check(IDC_DELETE_STOCKBOOK)
	// come with the window framework.
	(void)pDX;
	NotBuiltYet("CUninstallDlg::DoDataExchange");
}

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg message handlers

// First display: shows the install folder, or says the product is not installed.
BOOL CUninstallDlg::OnInitDialog()
{
	// FIXME: reads DIRECTORY through CRegistryKey and fills m_wndInstallDir.
	NotBuiltYet("CUninstallDlg::OnInitDialog");
	return FALSE;
}

// The system menu: the About item opens the About box.
void CUninstallDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
	// FIXME: the About box and the default handling come with the window framework.
	(void)nID;
	(void)lParam;
	NotBuiltYet("CUninstallDlg::OnSysCommand");
}

// Draws the icon when the dialog is minimised.
void CUninstallDlg::OnPaint()
{
	// FIXME: painting comes with the window framework.
	NotBuiltYet("CUninstallDlg::OnPaint");
}

// The image shown while the minimised dialog is dragged.
HCURSOR CUninstallDlg::OnQueryDragIcon()
{
	return (HCURSOR) m_hIcon;
}
