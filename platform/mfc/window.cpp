#include "platform/mfc/window.h"

#include <cstdio>
#include <cstdlib>

// FIXME: skeleton bodies until the window framework lands. Anything that would
// show a window fails loudly instead of pretending to work.
namespace {
[[noreturn]] void not_built_yet(const char* what)
{
    std::fprintf(stderr, "%s: the window framework is not built yet\n", what);
    std::abort();
}
}  // namespace

CWnd::CWnd() : m_hWnd(nullptr) {}
CWnd::~CWnd() = default;

HWND CWnd::GetSafeHwnd() const
{
    return m_hWnd;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}
CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal()
{
    not_built_yet("CDialog::DoModal");
}

BOOL CDialog::OnInitDialog()
{
    not_built_yet("CDialog::OnInitDialog");
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    not_built_yet("CDialog::OnOK");
}

void CDialog::OnCancel()
{
    not_built_yet("CDialog::OnCancel");
}

CStatic::CStatic() = default;
CStatic::~CStatic() = default;
