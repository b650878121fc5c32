#pragma once
// Inside the window manager: the window objects and the process's window list.
// Only platform/windows/*.cpp include this.

#include "platform/frontend/frontend.h"
#include "platform/windows/win32_windows.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::windows::detail {

struct MenuItem {
    UINT flags = 0;
    UINT id = 0;
    std::u16string text;
};

struct Window {
    HWND handle = nullptr;
    std::u16string className;
    WNDPROC proc = nullptr;
    std::u16string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    HWND parent = nullptr;  // controls
    HWND owner = nullptr;   // top-level windows
    RECT rect{};            // screen for top-level windows, parent client area for controls
    bool iconic = false;
    SIZE iconicClient{};    // client size while minimised
    bool needsPaint = true;
    int checkState = BST_UNCHECKED;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    HICON staticIcon = nullptr;
    LONG_PTR userData = 0;
    std::vector<HWND> children;
    HMENU systemMenu = nullptr;
    bool systemMenuOpen = false;
    bool destroying = false;

    // Dialogs.
    frontend::WindowKind kind = frontend::WindowKind::TopLevel;
    DLGPROC dialogProc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR dialogUser = 0;
    int defaultId = 0;
    bool ended = false;
    INT_PTR endResult = 0;
    bool ownerDisabled = false;  // the modal loop disabled the owner and must enable it again
    std::optional<frontend::MessageBoxView> messageBox;
};

// The window of a handle, or null (and ERROR_INVALID_WINDOW_HANDLE) when none.
Window* find(HWND handle);

// Creates a window: class by name (registered or a system class), style,
// geometry in the parent's client coordinates (controls) or on the screen.
// Sends WM_NCCREATE/WM_CREATE. Null on failure, with the last error set.
HWND create(DWORD exStyle, std::u16string_view className, std::u16string_view text, DWORD style, RECT rect,
            HWND parentOrOwner, int id, LPVOID param);

// Paints every visible top-level window that has been invalidated.
void paint_pending();

// The kind of a control, for the front ends.
frontend::ControlKind control_kind(const Window& window);

// Is this a push button (BS_PUSHBUTTON / BS_DEFPUSHBUTTON)?
bool is_push_button(const Window& window);

}  // namespace platform::windows::detail
