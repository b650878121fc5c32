#pragma once
// A small dialog program written the way the system writes its own, against
// the tests' resource script: the application object runs the main dialog
// modally from InitInstance; the main dialog asks before it acts, keeps its
// check box in a member and opens the About box from the system menu.

#include "platform/mfc.h"
#include "tests/platform/mfc_rc/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    DECLARE_MESSAGE_MAP()
};

class CRcSampleDlg : public CDialog {
public:
    explicit CRcSampleDlg(CWnd* pParent = NULL);

    CStatic m_wndFolder;
    BOOL m_bEraseData;
    CString m_strFolder;
    HICON m_hIcon;
    int m_nAbout;  // About boxes shown

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CRcSampleApp : public CWinApp {
public:
    CRcSampleApp();

    BOOL InitInstance() override;

    // What the tests set before the run and read after it.
    BOOL m_bEraseDataAtStart;
    CRcSampleDlg* m_pDlg;      // the main dialog while it runs
    INT_PTR m_nResponse;       // what DoModal returned
    BOOL m_bEraseDataAtEnd;    // the dialog's member once DoModal returned
    BOOL m_bMainWndKeptAfterModal;  // m_pMainWnd still set once the dialog was destroyed
    int m_nAbout;
};
