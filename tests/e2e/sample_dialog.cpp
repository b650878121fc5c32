// A sample program for the terminal front end: one dialog with a default
// Cancel button, an Execute button that asks Yes/No, a check box, wrapped
// text and a group box. It runs through the real window manager.
#include "platform/mfc.h"

namespace {

class CSampleDlg : public CDialog {
public:
    CSampleDlg() : CDialog(100) {}

protected:
    void OnOK() override
    {
        if (AfxMessageBox("続けますか？", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            AfxMessageBox("終わりました。");
            CDialog::OnOK();
        }
    }
};

class CSampleApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        CSampleDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        return FALSE;
    }
};

CSampleApp theApp;

}  // namespace
