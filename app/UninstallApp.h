// UninstallApp.h : the application object of the uninstaller
//

#pragma once

#include "platform/mfc.h"
#include "res/resource.h"

/////////////////////////////////////////////////////////////////////////////
// CUninstallApp:
// The program is one dialog: InitInstance runs it and the program ends.
//

class CUninstallApp : public CWinApp
{
public:
	CUninstallApp();

// Overrides
public:
	virtual BOOL InitInstance();

// Implementation
	DECLARE_MESSAGE_MAP()
};

extern CUninstallApp theApp;
