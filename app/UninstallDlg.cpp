// UninstallDlg.cpp : the main dialog of the uninstaller
//

#include "app/UninstallDlg.h"
#include "sysaccess/RegistryKey.h"

// The About item's id must stay a system command of the application's own:
// the system keeps the low four bits, and its own commands start at 0xF000.
static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX, "IDM_ABOUTBOX must leave the low four bits clear");
static_assert(IDM_ABOUTBOX < 0xF000, "IDM_ABOUTBOX must lie below the system's commands");

/////////////////////////////////////////////////////////////////////////////
// CAboutDlg dialog used for App About

class CAboutDlg : public CDialog
{
public:
	CAboutDlg();

// Dialog Data
	enum { IDD = IDD_ABOUTBOX };

// Implementation
protected:
	virtual void DoDataExchange(CDataExchange* pDX);	// DDX/DDV support
	DECLARE_MESSAGE_MAP()
};

CAboutDlg::CAboutDlg() : CDialog(CAboutDlg::IDD)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
	CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg dialog

CUninstallDlg::CUninstallDlg(CWnd* pParent /*=NULL*/)
	: CDialog(CUninstallDlg::IDD, pParent)
{
	// The stock book goes with the product unless the user clears the box.
	m_bDeleteStockBook = TRUE;
	// The application's icon, shared: it is never destroyed.
	m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
}

// Binds the install folder control and the stock-book check box.
void CUninstallDlg::DoDataExchange(CDataExchange* pDX)
{
	CDialog::DoDataExchange(pDX);
	DDX_Control(pDX, IDC_INSTALL_DIR, m_wndInstallDir);
	DDX_Check(pDX, IDC_DELETE_STOCKBOOK, m_bDeleteStockBook);
}

BEGIN_MESSAGE_MAP(CUninstallDlg, CDialog)
	ON_WM_SYSCOMMAND()
	ON_WM_PAINT()
	ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg message handlers

// First display: shows the install folder, or says the product is not
// installed and ends the dialog before it is ever shown.
BOOL CUninstallDlg::OnInitDialog()
{
	CDialog::OnInitDialog();

	// Add "About..." menu item to system menu.
	CMenu* pSysMenu = GetSystemMenu(FALSE);
	if (pSysMenu != NULL)
	{
		CString strAboutMenu;
		strAboutMenu.LoadString(IDS_ABOUTBOX);
		if (!strAboutMenu.IsEmpty())
		{
			pSysMenu->AppendMenu(MF_SEPARATOR);
			pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
		}
	}

	// Set the icon for this dialog.
	SetIcon(m_hIcon, TRUE);			// Set big icon
	SetIcon(m_hIcon, FALSE);		// Set small icon

	// The install folder, as the product's installer recorded it. Open only
	// probes the key, so a missing key is never created by the read.
	CString strInstallDir;
	CRegistryKey regKey("MirabelLE", "7.0");
	if (regKey.Open())
	{
		regKey.ReadString("DIRECTORY", strInstallDir, "");
		regKey.Close();
	}

	if (!strInstallDir.IsEmpty())
	{
		m_wndInstallDir.SetWindowText("「" + strInstallDir + "」");
		return TRUE;	// the dialog manager focuses the first tab stop
	}

	AfxMessageBox("ミラベルLEインストールされていません。", MB_ICONSTOP);
	CDialog::OnCancel();
	return FALSE;
}

// The system menu: the About item opens the About box; everything else,
// closing included, is the dialog's ordinary handling.
void CUninstallDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
	if ((nID & 0xFFF0) == IDM_ABOUTBOX)
	{
		CAboutDlg dlgAbout;
		dlgAbout.DoModal();
	}
	else
	{
		CDialog::OnSysCommand(nID, lParam);
	}
}

// Minimised, the dialog shows its icon centred in the client area; otherwise
// it paints as any dialog does.
void CUninstallDlg::OnPaint()
{
	if (IsIconic())
	{
		CPaintDC dc(this); // device context for painting

		SendMessage(WM_ICONERASEBKGND, (WPARAM) dc.GetSafeHdc(), 0);

		// Center icon in client rectangle
		int cxIcon = GetSystemMetrics(SM_CXICON);
		int cyIcon = GetSystemMetrics(SM_CYICON);
		RECT rect;
		GetClientRect(&rect);
		int x = (rect.right - rect.left - cxIcon + 1) / 2;
		int y = (rect.bottom - rect.top - cyIcon + 1) / 2;

		// Draw the icon
		dc.DrawIcon(x, y, m_hIcon);
	}
	else
	{
		CDialog::OnPaint();
	}
}

// The image the system shows while the user drags the minimised dialog.
HCURSOR CUninstallDlg::OnQueryDragIcon()
{
	return (HCURSOR) m_hIcon;
}
