#pragma once
// A dialog written the way the program writes its own: a template, a message
// map, data exchange, OnInitDialog and OnOK. Its template is built in code.

#include "platform/mfc.h"

#define IDD_SAMPLE 200
#define IDC_TICK 1001
#define IDC_FOLDER 1003
#define IDC_HELLO 1005
#define IDM_ABOUT 0x0010

// The template: Cancel (default, first tab stop), OK, a check box, a static,
// a push button with a command of its own, and a group box.
platform::resources::DialogTemplate sample_template();
platform::resources::DialogTemplate about_template();

class CAboutBox : public CDialog {
public:
    CAboutBox();
    DECLARE_MESSAGE_MAP()
};

class CSampleDlg : public CDialog {
public:
    explicit CSampleDlg(CWnd* pParent = NULL);

    CStatic m_wndFolder;
    BOOL m_bTick;
    HICON m_hIcon;
    BOOL m_bEndDuringInit;  // shows a message and ends during initialisation
    int m_nOK;              // OnOK calls
    int m_nHello;           // IDC_HELLO commands
    int m_nAbout;           // About boxes shown
    BOOL m_bOwnerDisabledInAbout;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnHello();
    DECLARE_MESSAGE_MAP()
};
