#pragma once
// The application object, the framework's start-up and shut-down, and the
// framework's message box.

#include "platform/mfc/window.h"

#define ID_HELP 0xE146  // 57670

class CWinApp : public CCmdTarget {
public:
    // Registers the object as the application. No name: the title comes from
    // string AFX_IDS_APP_TITLE at start-up.
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // The 3D control look: the platform always draws it, so there is nothing to switch on.
    BOOL Enable3dControlsStatic();
    HICON LoadIcon(UINT nIDResource) const;

    LPCTSTR m_pszAppName;
    LPCTSTR m_pszExeName;
    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd;

    // Start-up: the title (when the constructor got none) and the instance.
    // Part of AfxWinInit.
    void SetCurrentHandles();

protected:
    afx_msg void OnHelp();

private:
    CString m_strAppName;
    CString m_strExeName;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Shows a message box over the main window (or the innermost modal dialog),
// captioned with the application title. Without an icon in nType, the
// exclamation icon is added for the OK, OK/Cancel, Yes/No and Yes/No/Cancel sets.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The framework's start-up: the multibyte code page, the application's title.
BOOL AfxWinInit();

// The framework's whole run: AfxWinInit, InitInstance, then Run, or
// ExitInstance when InitInstance returned FALSE. Returns the exit code.
int AfxWinMain();
