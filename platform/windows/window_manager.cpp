// The window list, messages, the default window procedure, the button and
// static controls, menus, painting and the window search.

#include "platform/windows/window_manager.h"

#include "platform/text/codepage.h"
#include "platform/win32/last_error.h"
#include "platform/windows/dialog_internal.h"
#include "platform/windows/shared_window_list.h"
#include "platform/windows/window_table.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace platform::windows {
namespace detail {
namespace {

struct WindowClass {
    std::u16string name;
    WNDPROC proc = nullptr;
    HICON icon = nullptr;
    bool isSystem = false;
};

struct Menu {
    std::vector<MenuItem> items;
};

LRESULT button_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT static_proc(HWND, UINT, WPARAM, LPARAM);

// The process's windows, classes, menus and device contexts. Handles are
// never reused, so a stale handle is simply not found.
struct State {
    std::map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevelOrder;  // creation order = bottom to top
    std::vector<WindowClass> classes;
    std::map<HMENU, Menu> menus;
    std::map<HDC, HWND> paintContexts;
    std::uintptr_t nextHandle = 0x10000;
    HWND focus = nullptr;
    // Hooks waiting for the next window to be created, by their number.
    std::vector<std::pair<int, std::function<void(HWND)>>> creationHooks;
    int nextHookNumber = 0;

    State()
    {
        classes.push_back({u"BUTTON", button_proc, nullptr, true});
        classes.push_back({u"STATIC", static_proc, nullptr, true});
        classes.push_back({u"#32770", DefDlgProcA, nullptr, true});
    }

    template <class Handle>
    Handle new_handle()
    {
        nextHandle += 4;
        return reinterpret_cast<Handle>(nextHandle);
    }
};

State& state()
{
    static State s;
    return s;
}

char16_t ascii_upper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

bool same_class_name(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return ascii_upper(x) == ascii_upper(y); });
}

WindowClass* find_class(std::u16string_view name)
{
    for (auto& c : state().classes)
        if (same_class_name(c.name, name))
            return &c;
    return nullptr;
}

// Copies text into an A-function buffer of `size` bytes, never splitting a
// double-byte character; returns the bytes copied without the terminator.
int copy_out(const std::u16string& text, char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return 0;
    std::string bytes = platform::text::utf16_to_cp932(text);
    std::size_t n = 0;
    while (n < bytes.size()) {
        std::size_t step = platform::text::is_lead_byte(static_cast<unsigned char>(bytes[n])) ? 2 : 1;
        if (n + step > size - 1)
            break;
        n += step;
    }
    std::memcpy(buffer, bytes.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::vector<MenuItem> standard_system_menu(const Window& w)
{
    // The texts of a Japanese system, as the system's users see them.
    const bool modalFrame = (w.kind != frontend::WindowKind::TopLevel) && (w.style & DS_MODALFRAME);
    if (modalFrame)
        return {{MF_STRING, SC_MOVE, u"移動(&M)"}, {MF_STRING, SC_CLOSE, u"閉じる(&C)\tAlt+F4"}};
    auto grayedUnless = [](bool enabled) { return enabled ? UINT(MF_STRING) : UINT(MF_STRING | MF_GRAYED); };
    return {
        {grayedUnless(w.iconic), SC_RESTORE, u"元のサイズに戻す(&R)"},
        {MF_STRING, SC_MOVE, u"移動(&M)"},
        {grayedUnless(w.style & WS_THICKFRAME), SC_SIZE, u"サイズ変更(&S)"},
        {grayedUnless(w.style & WS_MINIMIZEBOX), SC_MINIMIZE, u"最小化(&N)"},
        {grayedUnless(w.style & WS_MAXIMIZEBOX), SC_MAXIMIZE, u"最大化(&X)"},
        {MF_SEPARATOR, 0, u""},
        {MF_STRING, SC_CLOSE, u"閉じる(&C)\tAlt+F4"},
    };
}

void destroy_tree(HWND handle)
{
    Window* w = find(handle);
    if (!w || w->destroying)
        return;
    w->destroying = true;
    auto& s = state();
    // Owned windows go first, as Windows destroys them with their owner.
    for (HWND other : std::vector<HWND>(s.topLevelOrder)) {
        Window* o = find(other);
        if (o && o->owner == handle)
            destroy_tree(other);
    }
    if (s.focus == handle)
        s.focus = nullptr;
    SendMessageA(handle, WM_DESTROY, 0, 0);
    if ((w = find(handle)) != nullptr) {
        for (HWND child : std::vector<HWND>(w->children))
            destroy_tree(child);
    }
    SendMessageA(handle, WM_NCDESTROY, 0, 0);
    w = find(handle);
    if (!w)
        return;
    if (w->parent) {
        if (Window* p = find(w->parent))
            std::erase(p->children, handle);
    }
    if (w->systemMenu)
        s.menus.erase(w->systemMenu);
    if (!w->parent)
        shared::withdraw(handle);
    std::erase(s.topLevelOrder, handle);
    s.windows.erase(handle);
}

// The default button window procedure: push buttons, check boxes, group boxes.
LRESULT button_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    const DWORD type = w->style & BS_TYPEMASK;
    switch (msg) {
    case BM_GETCHECK:
        return w->checkState;
    case BM_SETCHECK:
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
            type == BS_3STATE || type == BS_AUTO3STATE) {
            const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
            w->checkState = (wParam == BST_INDETERMINATE && threeState) ? BST_INDETERMINATE : (wParam ? BST_CHECKED : BST_UNCHECKED);
        }
        return 0;
    case BM_CLICK: {
        if (type == BS_GROUPBOX || !IsWindowEnabled(hwnd))
            return 0;
        if (type == BS_AUTOCHECKBOX)
            w->checkState = w->checkState == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        else if (type == BS_AUTO3STATE)
            w->checkState = (w->checkState + 1) % 3;
        else if (type == BS_AUTORADIOBUTTON)
            w->checkState = BST_CHECKED;
        const HWND parent = w->parent;
        const int id = w->id;
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    case BM_SETSTYLE:
        w->style = (w->style & ~0xFFFFul) | (wParam & 0xFFFF);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT static_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case STM_SETICON: {
        HICON previous = w->staticIcon;
        w->staticIcon = reinterpret_cast<HICON>(wParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(w->staticIcon);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

Window* find(HWND handle)
{
    auto& windows = state().windows;
    auto it = windows.find(handle);
    if (it == windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

HWND create(DWORD exStyle, std::u16string_view className, std::u16string_view text, DWORD style, RECT rect,
            HWND parentOrOwner, int id, LPVOID param)
{
    auto& s = state();
    WindowClass* cls = find_class(className);
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    const bool isChild = (style & WS_CHILD) != 0;
    Window* parent = parentOrOwner ? find(parentOrOwner) : nullptr;
    if (parentOrOwner && !parent)
        return nullptr;
    if (isChild && !parent) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }

    auto window = std::make_unique<Window>();
    Window* w = window.get();
    w->handle = s.new_handle<HWND>();
    w->className = cls->name;
    w->proc = cls->proc;
    w->text = std::u16string(text);
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->id = isChild ? id : 0;
    w->rect = rect;
    if (same_class_name(cls->name, u"#32770"))
        w->kind = frontend::WindowKind::Dialog;
    if (isChild) {
        w->parent = parentOrOwner;
        parent->children.push_back(w->handle);
    } else {
        // The owner of a top-level window is always a top-level window.
        HWND owner = parentOrOwner;
        while (owner) {
            Window* o = find(owner);
            if (!o || !o->parent)
                break;
            owner = o->parent;
        }
        w->owner = owner;
        s.topLevelOrder.push_back(w->handle);
    }
    const HWND handle = w->handle;
    s.windows.emplace(handle, std::move(window));
    if (!isChild)
        shared::publish(handle, cls->name, text);

    for (auto& hook : std::exchange(s.creationHooks, {}))
        hook.second(handle);

    std::string nameA = platform::text::utf16_to_cp932(text);
    std::string classA = platform::text::utf16_to_cp932(className);
    CREATESTRUCTA cs{param, nullptr, nullptr, parentOrOwner, int(rect.bottom - rect.top), int(rect.right - rect.left),
                     int(rect.top), int(rect.left), LONG(style), nameA.c_str(), classA.c_str(), exStyle};
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(handle);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (style & WS_VISIBLE)
        ShowWindow(handle, SW_SHOW);
    return handle;
}

void paint_pending()
{
    for (HWND handle : std::vector<HWND>(state().topLevelOrder)) {
        Window* w = find(handle);
        if (w && w->needsPaint && (w->style & WS_VISIBLE))
            SendMessageA(handle, WM_PAINT, 0, 0);
    }
}

bool is_push_button(const Window& w)
{
    const DWORD type = w.style & BS_TYPEMASK;
    return same_class_name(w.className, u"BUTTON") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

frontend::ControlKind control_kind(const Window& w)
{
    if (same_class_name(w.className, u"BUTTON")) {
        switch (w.style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return frontend::ControlKind::PushButton;
        case BS_GROUPBOX:
            return frontend::ControlKind::GroupBox;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return frontend::ControlKind::CheckBox;
        default:
            return frontend::ControlKind::Other;
        }
    }
    if (same_class_name(w.className, u"STATIC"))
        return (w.style & SS_TYPEMASK) == SS_ICON ? frontend::ControlKind::StaticIcon : frontend::ControlKind::StaticText;
    return frontend::ControlKind::Other;
}

namespace {

// Move from the system menu: the front end lets the user choose the place.
void move_by_user(HWND handle)
{
    Window* w = find(handle);
    auto* fe = frontend::current();
    // Only a top-level window that is shown as a window can be moved; a
    // minimised one keeps its place, as Windows leaves an icon where it is.
    if (!w || w->parent || w->iconic || !(w->style & WS_VISIBLE) || !fe)
        return;
    const std::optional<POINT> place = fe->track_move(handle, screen_view());
    if (!place || !(w = find(handle)))
        return;
    const LONG dx = place->x - w->rect.left;
    const LONG dy = place->y - w->rect.top;
    if (dx == 0 && dy == 0)
        return;
    // The controls keep their places in the client area, so they move with it.
    w->rect = RECT{w->rect.left + dx, w->rect.top + dy, w->rect.right + dx, w->rect.bottom + dy};
    w->needsPaint = true;
    SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
}

}  // namespace

}  // namespace detail

using detail::find;
using detail::state;
using detail::Window;

CreationHook::CreationHook(std::function<void(HWND)> hook) : m_number(++state().nextHookNumber)
{
    state().creationHooks.emplace_back(m_number, std::move(hook));
}

CreationHook::~CreationHook()
{
    std::erase_if(state().creationHooks, [this](const auto& hook) { return hook.first == m_number; });
}

HWND find_top_level_window(std::u16string_view className, const std::u16string* caption)
{
    for (HWND handle : state().topLevelOrder) {
        const Window* w = state().windows.at(handle).get();
        if (w->destroying)
            continue;
        if (!className.empty() && !detail::same_class_name(w->className, className))
            continue;
        if (caption && w->text != *caption)
            continue;
        return handle;
    }
    // Then the windows of the other programs that run on this machine.
    return shared::find_in_other_processes(className, caption);
}

frontend::ScreenView screen_view()
{
    frontend::ScreenView view;
    const HWND active = innermost_modal_dialog();
    for (HWND handle : state().topLevelOrder) {
        const Window& w = *state().windows.at(handle);
        frontend::WindowView wv;
        wv.handle = handle;
        wv.kind = w.kind;
        wv.className = w.className;
        wv.caption = w.text;
        wv.style = w.style;
        wv.exStyle = w.exStyle;
        wv.owner = w.owner;
        wv.rect = w.rect;
        GetClientRect(handle, &wv.clientRect);
        wv.clientRect.left += w.rect.left;
        wv.clientRect.right += w.rect.left;
        wv.clientRect.top += w.rect.top;
        wv.clientRect.bottom += w.rect.top;
        wv.visible = (w.style & WS_VISIBLE) != 0;
        wv.enabled = (w.style & WS_DISABLED) == 0;
        wv.iconic = w.iconic;
        wv.active = handle == active;
        wv.bigIcon = w.bigIcon;
        wv.smallIcon = w.smallIcon;
        wv.messageBox = w.messageBox;
        wv.systemMenuOpen = w.systemMenuOpen;
        if (w.systemMenu) {
            for (const auto& item : state().menus.at(w.systemMenu).items) {
                wv.systemMenu.push_back({item.flags, item.id, item.text});
                if (item.id == SC_CLOSE && (item.flags & (MF_GRAYED | MF_DISABLED)))
                    wv.closeEnabled = false;
            }
        }
        // A message box without a Cancel button ignores Close, as Windows greys it there.
        if (w.messageBox && !detail::message_box_closes(w.messageBox->type))
            wv.closeEnabled = false;
        HWND defaultButton = nullptr;
        if (w.kind != frontend::WindowKind::TopLevel) {
            const Window* focused = state().focus ? find(state().focus) : nullptr;
            if (focused && focused->parent == handle && detail::is_push_button(*focused))
                defaultButton = focused->handle;
            else if (w.defaultId)
                defaultButton = GetDlgItem(handle, w.defaultId);
        }
        for (HWND child : w.children) {
            const Window& c = *state().windows.at(child);
            frontend::ControlView cv;
            cv.handle = child;
            cv.id = c.id;
            cv.kind = detail::control_kind(c);
            cv.className = c.className;
            cv.text = c.text;
            cv.style = c.style;
            cv.rect = c.rect;
            cv.visible = (c.style & WS_VISIBLE) != 0;
            cv.enabled = (c.style & WS_DISABLED) == 0;
            cv.focused = state().focus == child;
            cv.isDefault = child == defaultButton;
            cv.checkState = c.checkState;
            cv.icon = c.staticIcon;
            wv.controls.push_back(std::move(cv));
        }
        view.windows.push_back(std::move(wv));
    }
    return view;
}

}  // namespace platform::windows

using platform::windows::detail::find;
using platform::windows::detail::state;
using platform::windows::detail::Window;

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string name = platform::text::cp932_to_utf16(wc->lpszClassName);
    if (platform::windows::detail::find_class(name)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    state().classes.push_back({name, wc->lpfnWndProc, wc->hIcon, false});
    return static_cast<ATOM>(0xC000 + state().classes.size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE)
{
    if (!className)
        return FALSE;
    std::u16string name = platform::text::cp932_to_utf16(className);
    auto& classes = state().classes;
    auto it = std::find_if(classes.begin(), classes.end(), [&](const auto& c) {
        return !c.isSystem && platform::windows::detail::same_class_name(c.name, name);
    });
    if (it == classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE, LPVOID param)
{
    if (!className) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (x == CW_USEDEFAULT) x = 0;
    if (y == CW_USEDEFAULT) y = 0;
    if (width == CW_USEDEFAULT) width = 320;
    if (height == CW_USEDEFAULT) height = 240;
    RECT rect{x, y, x + width, y + height};
    const int id = (style & WS_CHILD) ? static_cast<int>(reinterpret_cast<std::intptr_t>(menu)) : 0;
    return platform::windows::detail::create(exStyle, platform::text::cp932_to_utf16(className),
                                             platform::text::cp932_to_utf16(windowName ? windowName : ""), style, rect,
                                             parent, id, param);
}

BOOL DestroyWindow(HWND hwnd)
{
    if (!find(hwnd))
        return FALSE;
    platform::windows::detail::destroy_tree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd)
{
    return state().windows.count(hwnd) ? TRUE : FALSE;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    std::u16string cls = className ? platform::text::cp932_to_utf16(className) : std::u16string();
    std::optional<std::u16string> caption;
    if (windowName)
        caption = platform::text::cp932_to_utf16(windowName);
    HWND found = platform::windows::find_top_level_window(cls, caption ? &*caption : nullptr);
    if (!found)
        SetLastError(ERROR_SUCCESS);
    return found;
}

HWND GetParent(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return nullptr;
    return w->parent ? w->parent : ((w->style & WS_POPUP) ? w->owner : nullptr);
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_SETTEXT:
        w->text = platform::text::cp932_to_utf16(lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
        w->needsPaint = true;
        return TRUE;
    case WM_GETTEXT:
        return platform::windows::detail::copy_out(w->text, reinterpret_cast<char*>(lParam), wParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(platform::text::utf16_to_cp932(w->text).size());
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        case SC_MOVE:
            platform::windows::detail::move_by_user(hwnd);
            break;
        default:
            // Sizing by keyboard is not offered: no window of the program can be sized.
            break;
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
    case WM_ICONERASEBKGND:
        return TRUE;
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        w->needsPaint = true;
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->bigIcon : w->smallIcon);
    case WM_QUERYDRAGICON: {
        auto* cls = platform::windows::detail::find_class(w->className);
        return reinterpret_cast<LRESULT>(cls ? cls->icon : nullptr);
    }
    default:
        return 0;
    }
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_HINSTANCE:
        return 0;
    default:
        break;
    }
    if (w->kind != platform::frontend::WindowKind::TopLevel) {
        switch (index) {
        case DWLP_MSGRESULT:
            return w->msgResult;
        case DWLP_DLGPROC:
            return reinterpret_cast<LONG_PTR>(w->dialogProc);
        case DWLP_USER:
            return w->dialogUser;
        default:
            break;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    const LONG_PTR previous = GetWindowLongPtrA(hwnd, index);
    switch (index) {
    case GWLP_WNDPROC:
        w->proc = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_ID:
        w->id = static_cast<int>(value);
        return previous;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        return previous;
    case GWL_EXSTYLE:
        w->exStyle = static_cast<DWORD>(value);
        return previous;
    case GWLP_USERDATA:
        w->userData = value;
        return previous;
    default:
        break;
    }
    if (w->kind != platform::frontend::WindowKind::TopLevel) {
        switch (index) {
        case DWLP_MSGRESULT:
            w->msgResult = value;
            return previous;
        case DWLP_DLGPROC:
            w->dialogProc = reinterpret_cast<DLGPROC>(value);
            return previous;
        case DWLP_USER:
            w->dialogUser = value;
            return previous;
        default:
            break;
        }
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    if (!find(hwnd))
        return FALSE;
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size)
{
    if (!find(hwnd) || !buffer || size <= 0)
        return 0;
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthA(HWND hwnd)
{
    return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND GetDlgItem(HWND dialog, int id)
{
    Window* w = find(dialog);
    if (!w)
        return nullptr;
    for (HWND child : w->children) {
        // Ids compare as the 16 bits an old template stores, so -1 finds 65535.
        if (LOWORD(state().windows.at(child)->id) == LOWORD(id))
            return child;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? w->id : 0;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    const BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    if (wasDisabled == (enable ? TRUE : FALSE)) {
        if (!enable && state().focus && (state().focus == hwnd || GetParent(state().focus) == hwnd))
            state().focus = nullptr;
        SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    Window* w = find(hwnd);
    return (w && !(w->style & WS_DISABLED)) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    if (!(w->style & WS_VISIBLE))
        return FALSE;
    return w->parent ? IsWindowVisible(w->parent) : TRUE;
}

BOOL IsIconic(HWND hwnd)
{
    Window* w = find(hwnd);
    return (w && w->iconic) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    const BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    switch (command) {
    case SW_HIDE:
        w->style &= ~WS_VISIBLE;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        w->style |= WS_VISIBLE | WS_MINIMIZE;
        w->iconic = true;
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        w->style = (w->style | WS_VISIBLE) & ~WS_MINIMIZE;
        w->iconic = false;
        break;
    default:
        w->style |= WS_VISIBLE;
        break;
    }
    w->needsPaint = true;
    return wasVisible;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    Window* w = find(hwnd);
    if (!w || !rect)
        return FALSE;
    if (w->iconic)
        *rect = RECT{0, 0, w->iconicClient.cx, w->iconicClient.cy};
    else
        *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    Window* w = find(hwnd);
    if (!w || !rect)
        return FALSE;
    RECT r = w->rect;
    for (HWND p = w->parent; p; p = find(p)->parent) {
        const RECT& pr = find(p)->rect;
        r.left += pr.left;
        r.right += pr.left;
        r.top += pr.top;
        r.bottom += pr.top;
    }
    *rect = r;
    return TRUE;
}

HWND GetFocus()
{
    return state().focus;
}

HWND SetFocus(HWND hwnd)
{
    const HWND previous = state().focus;
    if (hwnd && !find(hwnd))
        return nullptr;
    if (previous == hwnd)
        return previous;
    state().focus = hwnd;
    if (previous && IsWindow(previous))
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd)
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetActiveWindow()
{
    return platform::windows::innermost_modal_dialog();
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        auto* fe = platform::frontend::current();
        if (!fe)
            return 0;
        const SIZE size = fe->screen_size();
        return index == SM_CXSCREEN ? size.cx : size.cy;
    }
    default:
        return 0;
    }
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    Window* w = find(hwnd);
    if (!w || !paint)
        return nullptr;
    HDC dc = state().new_handle<HDC>();
    state().paintContexts[dc] = hwnd;
    w->needsPaint = false;
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    GetClientRect(hwnd, &paint->rcPaint);
    paint->fErase = FALSE;
    if (w->iconic)
        SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    else
        SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint)
{
    if (!paint)
        return FALSE;
    state().paintContexts.erase(paint->hdc);
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    while (w->parent)
        w = find(w->parent);
    w->needsPaint = true;
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    if (w->needsPaint && (w->style & WS_VISIBLE))
        SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
    auto it = state().paintContexts.find(dc);
    if (it == state().paintContexts.end() || !icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (auto* fe = platform::frontend::current())
        fe->draw_icon(it->second, x, y, icon);
    return TRUE;
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert)
{
    Window* w = find(hwnd);
    if (!w || w->parent || !(w->style & WS_SYSMENU))
        return nullptr;
    auto& menus = state().menus;
    if (revert) {
        // The window goes back to the standard menu; its own copy is dropped.
        if (w->systemMenu)
            menus.erase(w->systemMenu);
        w->systemMenu = nullptr;
        return nullptr;
    }
    if (!w->systemMenu) {
        w->systemMenu = state().new_handle<HMENU>();
        menus[w->systemMenu].items = platform::windows::detail::standard_system_menu(*w);
    }
    return w->systemMenu;
}

namespace {
platform::windows::detail::Menu* find_menu(HMENU menu)
{
    auto& menus = state().menus;
    auto it = menus.find(menu);
    if (it == menus.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &it->second;
}

const platform::windows::detail::MenuItem* find_item(HMENU menu, UINT item, UINT flags)
{
    auto* m = find_menu(menu);
    if (!m)
        return nullptr;
    if (flags & MF_BYPOSITION)
        return item < m->items.size() ? &m->items[item] : nullptr;
    for (const auto& i : m->items)
        if (!(i.flags & MF_SEPARATOR) && i.id == item)
            return &i;
    return nullptr;
}
}  // namespace

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    auto* m = find_menu(menu);
    if (!m)
        return FALSE;
    if (flags & MF_POPUP) {
        // FIXME: pop-up submenus are not supported; nothing in the program uses them.
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    platform::windows::detail::MenuItem item;
    item.flags = flags;
    if (!(flags & MF_SEPARATOR)) {
        item.id = static_cast<UINT>(id);
        item.text = platform::text::cp932_to_utf16(text ? text : "");
    }
    m->items.push_back(std::move(item));
    return TRUE;
}

int GetMenuItemCount(HMENU menu)
{
    auto* m = find_menu(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    auto* m = find_menu(menu);
    if (!m || position < 0 || static_cast<std::size_t>(position) >= m->items.size())
        return static_cast<UINT>(-1);
    return m->items[position].id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    const auto* i = find_item(menu, item, flags);
    return i ? i->flags : static_cast<UINT>(-1);
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags)
{
    const auto* i = find_item(menu, item, flags);
    if (!i)
        return 0;
    if (!buffer || size <= 0)
        return static_cast<int>(platform::text::utf16_to_cp932(i->text).size());
    return platform::windows::detail::copy_out(i->text, buffer, static_cast<std::size_t>(size));
}
