#include "platform/mfc/app.h"

#include "platform/text/mbstring.h"
#include "platform/windows/window_manager.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

// The one application object of the process.
CWinApp* g_pApp = nullptr;

// The program file's name without its extension.
CString program_name()
{
    std::string name = program_invocation_short_name ? program_invocation_short_name : "";
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return CString(name.c_str());
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(nullptr), m_pszExeName(nullptr), m_hInstance(nullptr), m_pMainWnd(nullptr)
{
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

void CWinApp::SetCurrentHandles()
{
    m_hInstance = AfxGetInstanceHandle();
    m_strExeName = program_name();
    m_pszExeName = m_strExeName;
    if (!m_pszAppName) {
        char title[256];
        if (::LoadStringA(AfxGetResourceHandle(), AFX_IDS_APP_TITLE, title, sizeof title) > 0)
            m_strAppName = title;
        else
            m_strAppName = m_strExeName;
        m_pszAppName = m_strAppName;
    }
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    // Nothing of the application's settings is kept, so nothing is written.
    return 0;
}

int CWinApp::Run()
{
    if (!m_pMainWnd || !::IsWindow(m_pMainWnd->GetSafeHwnd()))
        return ExitInstance();
    // FIXME: a message loop for modeless main windows; the program runs its
    // main dialog modally from InitInstance and never gets here.
    std::fprintf(stderr, "CWinApp::Run: modeless main windows are not supported.\n");
    std::abort();
}

BOOL CWinApp::Enable3dControlsStatic()
{
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

void CWinApp::OnHelp()
{
    // FIXME: the program has no help file; the help command does nothing.
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        default:
            break;
        }
    }
    HWND hWndOwner = platform::windows::innermost_modal_dialog();
    if (!hWndOwner)
        hWndOwner = AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr;
    LPCTSTR lpszCaption = g_pApp ? g_pApp->m_pszAppName : nullptr;
    return ::MessageBoxA(hWndOwner, lpszText, lpszCaption, nType);
}

BOOL AfxWinInit()
{
    _setmbcp(_MB_CP_ANSI);
    if (!g_pApp)
        return FALSE;
    g_pApp->SetCurrentHandles();
    return TRUE;
}

int AfxWinMain()
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !AfxWinInit()) {
        std::fprintf(stderr, "The program has no application object.\n");
        return -1;
    }
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd)
            pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}
