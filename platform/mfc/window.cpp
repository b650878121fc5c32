#include "platform/mfc/window.h"

#include "platform/resources/module_resources.h"
#include "platform/text/codepage.h"
#include "platform/windows/window_manager.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

// Which object belongs to which window, as the class library keeps it.
std::map<HWND, CWnd*>& permanent_windows()
{
    static std::map<HWND, CWnd*> map;
    return map;
}

std::map<HWND, std::unique_ptr<CWnd>>& temporary_windows()
{
    static std::map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

std::map<HMENU, std::unique_ptr<CMenu>>& temporary_menus()
{
    static std::map<HMENU, std::unique_ptr<CMenu>> map;
    return map;
}

// The dialog procedure of the class library's dialogs: everything reaches
// the CDialog through its window procedure first, so nothing is left here.
INT_PTR afx_dialog_proc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

}  // namespace

// ---------------------------------------------------------------- CCmdTarget

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nMessage != 0; ++entry) {
            if (entry->nMessage != nMessage)
                continue;
            if (nMessage == WM_COMMAND && (entry->nCode != nCode || entry->nID != nID))
                continue;
            return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode)
{
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (!entry)
        return FALSE;
    entry->pfnHandler(this, MAKEWPARAM(nID, nCode), 0);
    return TRUE;
}

// ---------------------------------------------------------------------- CWnd

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr), m_currentMessage{0, 0, 0} {}

CWnd::~CWnd()
{
    // A window still attached goes with its object, as in the class library.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND hWnd = m_hWnd;
        Detach();
        ::DestroyWindow(hWnd);
    }
    // An object that is gone cannot stay the main window. Its window's end
    // resets the pointer too, but a dialog whose window was never created
    // has no end to announce.
    if (CWinApp* pApp = AfxGetApp(); pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    auto& map = permanent_windows();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    auto& temporaries = temporary_windows();
    auto& slot = temporaries[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

HWND CWnd::GetSafeHwnd() const
{
    return m_hWnd;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    m_hWnd = hWndNew;
    permanent_windows()[hWndNew] = this;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        permanent_windows().erase(hWnd);
        if (m_pfnSuper && ::IsWindow(hWnd) &&
            ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc))
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::SetWindowText(LPCTSTR lpszString)
{
    ::SetWindowTextA(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const
{
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, rString.GetBuffer(length + 1), length + 1);
    rString.ReleaseBuffer();
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    ::GetClientRect(m_hWnd, lpRect);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam, m_currentMessage.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfnHandler(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const UINT nID = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    if (OnCmdMsg(nID, nCode))
        return TRUE;
    // Commands the window does not handle go on to the application.
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->OnCmdMsg(nID, nCode) : FALSE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::PostNcDestroy() {}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

HCURSOR CWnd::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(Default());
}

LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const CWnd::CurrentMessage saved = pWnd->m_currentMessage;
    pWnd->m_currentMessage = {message, wParam, lParam};
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: the object lets go of it, and the application
        // forgets it as its main window.
        if (CWinApp* pApp = AfxGetApp(); pApp && pApp->m_pMainWnd == pWnd)
            pApp->m_pMainWnd = nullptr;
        pWnd->Detach();
        pWnd->PostNcDestroy();
        return result;
    }
    pWnd->m_currentMessage = saved;
    return result;
}

// --------------------------------------------------------------------- CMenu

CMenu::CMenu() : m_hMenu(nullptr) {}
CMenu::~CMenu() = default;

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    auto& slot = temporary_menus()[hMenu];
    if (!slot) {
        slot = std::make_unique<CMenu>();
        slot->m_hMenu = hMenu;
    }
    return slot.get();
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

int CMenu::GetMenuItemCount() const
{
    return ::GetMenuItemCount(m_hMenu);
}

UINT CMenu::GetMenuItemID(int nPos) const
{
    return ::GetMenuItemID(m_hMenu, nPos);
}

// ------------------------------------------------------------------- CDialog

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_nIDHelp(0), m_pParentWnd(pParentWnd)
{
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = LOWORD(reinterpret_cast<std::uintptr_t>(lpszTemplateName));
}

CDialog::~CDialog() = default;

BOOL CDialog::InitModalIndirect(const platform::resources::DialogTemplate& dialogTemplate, CWnd* pParentWnd)
{
    m_indirectTemplate = dialogTemplate;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    std::optional<platform::resources::DialogTemplate> dialogTemplate = m_indirectTemplate;
    if (!dialogTemplate) {
        platform::resources::NameOrId name;
        if (IS_INTRESOURCE(m_lpszTemplateName))
            name.id = LOWORD(reinterpret_cast<std::uintptr_t>(m_lpszTemplateName));
        else if (m_lpszTemplateName)
            name.name = platform::text::cp932_to_utf16(m_lpszTemplateName);
        dialogTemplate = platform::resources::load_dialog_template(name);
    }
    if (!dialogTemplate)
        return -1;

    // The owner: the parent given, else the innermost modal dialog, else the
    // application's main window (unless that is this dialog).
    HWND hWndOwner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!hWndOwner)
        hWndOwner = platform::windows::innermost_modal_dialog();
    if (!hWndOwner) {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd && pMainWnd != this)
            hWndOwner = pMainWnd->GetSafeHwnd();
    }

    INT_PTR result;
    {
        platform::windows::CreationHook hook([this](HWND hWnd) { SubclassWindow(hWnd); });
        result = platform::windows::dialog_box(*dialogTemplate, hWndOwner, afx_dialog_proc, 0, [](WORD id) {
            return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(id));
        });
    }
    if (m_hWnd)
        Detach();
    return result;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

// ------------------------------------------------------------------- CStatic

CStatic::CStatic() = default;
CStatic::~CStatic() = default;

// ------------------------------------------------------------- data exchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), nIDC);
    if (!hWndCtrl) {
        std::fprintf(stderr, "Dialog data exchange: the dialog has no control %d.\n", nIDC);
        std::abort();
    }
    return hWndCtrl;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;  // attached on an earlier exchange
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl)) {
        std::fprintf(stderr, "DDX_Control: control %d is already attached to another object.\n", nIDC);
        std::abort();
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0;
        ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

// ----------------------------------------------------------- CDC, CPaintDC

CDC::CDC() : m_hDC(nullptr) {}
CDC::~CDC() = default;

BOOL CDC::DrawIcon(int x, int y, HICON hIcon)
{
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

BOOL CDC::DrawIcon(POINT point, HICON hIcon)
{
    return ::DrawIcon(m_hDC, point.x, point.y, hIcon);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps{}, m_hWnd(pWnd->GetSafeHwnd())
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}
