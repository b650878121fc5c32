#include "tests/platform/mfc_rc/rcsample_app.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
}

BEGIN_MESSAGE_MAP(CRcSampleDlg, CDialog)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CRcSampleDlg::CRcSampleDlg(CWnd* pParent)
    : CDialog(IDD_RCSAMPLE_DIALOG, pParent), m_bEraseData(FALSE), m_strFolder("C:\\Program Files\\ｻﾝﾌﾟﾙ"),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)), m_nAbout(0)
{
}

void CRcSampleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FOLDER, m_wndFolder);
    DDX_Check(pDX, IDC_ERASE_DATA, m_bEraseData);
}

BOOL CRcSampleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // IDM_ABOUTBOX must be in the system command range.
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != NULL) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_wndFolder.SetWindowText(m_strFolder);
    return TRUE;
}

void CRcSampleDlg::OnOK()
{
    if (AfxMessageBox("削除しますか？", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CDialog::OnOK();
}

void CRcSampleDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        ++m_nAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

CRcSampleApp::CRcSampleApp()
    : m_bEraseDataAtStart(FALSE), m_pDlg(NULL), m_nResponse(0), m_bEraseDataAtEnd(FALSE),
      m_bMainWndKeptAfterModal(FALSE), m_nAbout(0)
{
}

BOOL CRcSampleApp::InitInstance()
{
    Enable3dControlsStatic();

    CRcSampleDlg dlg;
    dlg.m_bEraseData = m_bEraseDataAtStart;
    m_pMainWnd = &dlg;
    m_pDlg = &dlg;
    m_nResponse = dlg.DoModal();
    m_pDlg = NULL;
    m_bEraseDataAtEnd = dlg.m_bEraseData;
    m_nAbout = dlg.m_nAbout;
    m_bMainWndKeptAfterModal = m_pMainWnd != NULL;

    // The dialog has been closed: end the program rather than run a message loop.
    return FALSE;
}
