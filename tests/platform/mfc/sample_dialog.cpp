#include "tests/platform/mfc/sample_dialog.h"

namespace {

using platform::resources::DialogItem;
using platform::resources::DialogTemplate;

// Controls of the templates built here.
const auto item = platform::resources::make_control;

constexpr WORD kButton = platform::resources::kButtonAtom;
constexpr WORD kStatic = platform::resources::kStaticAtom;

}  // namespace

DialogTemplate sample_template()
{
    DialogTemplate t;
    t.extended = true;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 191;
    t.cy = 169;
    t.title = u"サンプル";
    t.pointSize = 9;
    t.faceName = u"ＭＳ Ｐゴシック";
    t.items = {
        item(kButton, IDCANCEL, u"ｷｬﾝｾﾙ", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 135, 150, 50, 14),
        item(kButton, IDOK, u"実行", BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP, 80, 150, 50, 14),
        item(kButton, IDC_TICK, u"ﾁｪｯｸ", BS_AUTOCHECKBOX | WS_TABSTOP, 65, 125, 57, 10),
        item(kStatic, IDC_FOLDER, u"", SS_LEFT | WS_GROUP, 20, 10, 155, 8),
        item(kButton, IDC_HELLO, u"Hello", BS_PUSHBUTTON | WS_TABSTOP, 20, 150, 50, 14),
        item(kButton, 0xFFFFFFFF, u"", BS_GROUPBOX, 5, 0, 180, 80),
    };
    return t;
}

DialogTemplate about_template()
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 217;
    t.cy = 55;
    t.title = u"ﾊﾞｰｼﾞｮﾝ情報";
    t.pointSize = 9;
    t.faceName = u"ＭＳ Ｐゴシック";
    t.items = {
        item(kStatic, 0xFFFF, u"Sample Version 1.0", SS_LEFT | SS_NOPREFIX | WS_GROUP, 40, 10, 119, 8),
        item(kButton, IDOK, u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 178, 7, 32, 14),
    };
    return t;
}

BEGIN_MESSAGE_MAP(CAboutBox, CDialog)
END_MESSAGE_MAP()

CAboutBox::CAboutBox() : CDialog(100, NULL)
{
    InitModalIndirect(about_template());
}

BEGIN_MESSAGE_MAP(CSampleDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(IDC_HELLO, OnHello)
END_MESSAGE_MAP()

CSampleDlg::CSampleDlg(CWnd* pParent)
    : CDialog(IDD_SAMPLE, pParent), m_bTick(TRUE), m_hIcon(reinterpret_cast<HICON>(0x4711)), m_bEndDuringInit(FALSE),
      m_nOK(0), m_nHello(0), m_nAbout(0), m_bOwnerDisabledInAbout(FALSE)
{
    InitModalIndirect(sample_template());
}

void CSampleDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_FOLDER, m_wndFolder);
    DDX_Check(pDX, IDC_TICK, m_bTick);
}

BOOL CSampleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_ABOUT, "About...");
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    if (m_bEndDuringInit) {
        AfxMessageBox("not installed", MB_ICONSTOP);
        CDialog::OnCancel();
        return FALSE;
    }
    m_wndFolder.SetWindowText("[C:\\Apps]");
    return TRUE;
}

void CSampleDlg::OnOK()
{
    ++m_nOK;
    CDialog::OnOK();
}

void CSampleDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUT) {
        CAboutBox dlgAbout;
        ++m_nAbout;
        m_bOwnerDisabledInAbout = !IsWindowEnabled();
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CSampleDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        int cxIcon = GetSystemMetrics(SM_CXICON);
        int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        int x = (rect.Width() - cxIcon + 1) / 2;
        int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CSampleDlg::OnQueryDragIcon()
{
    return m_hIcon;
}

void CSampleDlg::OnHello()
{
    ++m_nHello;
}
