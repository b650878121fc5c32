// The dialog manager: dialogs built from templates, the default dialog
// procedure, keyboard navigation, the default push button and modal loops.

#include "platform/win32/last_error.h"
#include "platform/windows/dialog_internal.h"
#include "platform/windows/window_manager.h"
#include "platform/windows/window_table.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform::windows {

using detail::find;
using detail::Window;

namespace {

// The dialogs whose modal loops run, outermost first.
std::vector<HWND>& modal_stack()
{
    static std::vector<HWND> stack;
    return stack;
}

std::u16string class_of(const resources::NameOrId& windowClass)
{
    if (!windowClass.is_id())
        return windowClass.name;
    switch (*windowClass.id) {
    case 0x0080: return u"BUTTON";
    case 0x0081: return u"EDIT";
    case 0x0082: return u"STATIC";
    case 0x0083: return u"LISTBOX";
    case 0x0084: return u"SCROLLBAR";
    case 0x0085: return u"COMBOBOX";
    default: return u"";
    }
}

// Dialog units to front-end units, rounded like MulDiv.
LONG scale(int units, int base, int divisor)
{
    const long long product = static_cast<long long>(units) * base;
    return static_cast<LONG>(product >= 0 ? (product + divisor / 2) / divisor : -((-product + divisor / 2) / divisor));
}

RECT to_units(short x, short y, short cx, short cy, frontend::BaseUnits base)
{
    const LONG left = scale(x, base.x, 4);
    const LONG top = scale(y, base.y, 8);
    return RECT{left, top, left + scale(cx, base.x, 4), top + scale(cy, base.y, 8)};
}

std::vector<HWND> tab_stops(HWND dialog)
{
    std::vector<HWND> stops;
    if (Window* w = find(dialog)) {
        for (HWND child : w->children) {
            const Window& c = *find(child);
            if ((c.style & WS_TABSTOP) && (c.style & WS_VISIBLE) && !(c.style & WS_DISABLED))
                stops.push_back(child);
        }
    }
    return stops;
}

void move_focus(HWND dialog, bool forward)
{
    std::vector<HWND> stops = tab_stops(dialog);
    if (stops.empty())
        return;
    const HWND focus = GetFocus();
    std::size_t at = stops.size();
    for (std::size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == focus)
            at = i;
    std::size_t next;
    if (at == stops.size())
        next = forward ? 0 : stops.size() - 1;
    else
        next = forward ? (at + 1) % stops.size() : (at + stops.size() - 1) % stops.size();
    SetFocus(stops[next]);
}

bool is_usable_control(HWND control)
{
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

void press_enter(HWND dialog)
{
    const HWND focus = GetFocus();
    Window* focused = focus ? find(focus) : nullptr;
    if (focused && focused->parent == dialog && detail::is_push_button(*focused)) {
        SendMessageA(focus, BM_CLICK, 0, 0);
        return;
    }
    const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    const int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    const HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button))
        return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void handle_input(HWND dialog, const frontend::Input& input)
{
    Window* w = find(dialog);
    if (!w)
        return;
    using Kind = frontend::Input::Kind;
    switch (input.kind) {
    case Kind::Key:
        switch (input.key) {
        case frontend::Key::Tab:
            move_focus(dialog, true);
            break;
        case frontend::Key::ShiftTab:
            move_focus(dialog, false);
            break;
        case frontend::Key::Enter:
            press_enter(dialog);
            break;
        case frontend::Key::Escape:
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
            break;
        case frontend::Key::Space: {
            const HWND focus = GetFocus();
            Window* focused = focus ? find(focus) : nullptr;
            if (focused && focused->parent == dialog && detail::control_kind(*focused) != frontend::ControlKind::Other)
                SendMessageA(focus, BM_CLICK, 0, 0);
            break;
        }
        }
        break;
    case Kind::Click: {
        const HWND control = GetDlgItem(dialog, input.controlId);
        if (!is_usable_control(control))
            break;
        const auto kind = detail::control_kind(*find(control));
        if (kind == frontend::ControlKind::PushButton || kind == frontend::ControlKind::CheckBox) {
            SetFocus(control);
            SendMessageA(control, BM_CLICK, 0, 0);
        }
        break;
    }
    case Kind::OpenSystemMenu:
        if (w->style & WS_SYSMENU) {
            GetSystemMenu(dialog, FALSE);
            w->systemMenuOpen = true;
        }
        break;
    case Kind::CloseSystemMenu:
        w->systemMenuOpen = false;
        break;
    case Kind::ChooseSystemMenu: {
        const bool wasOpen = w->systemMenuOpen;
        w->systemMenuOpen = false;
        const HMENU menu = GetSystemMenu(dialog, FALSE);
        const UINT state = menu ? GetMenuState(menu, input.command, MF_BYCOMMAND) : static_cast<UINT>(-1);
        if (wasOpen && state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED)))
            SendMessageA(dialog, WM_SYSCOMMAND, input.command, 0);
        break;
    }
    case Kind::CloseBox: {
        const HMENU menu = GetSystemMenu(dialog, FALSE);
        const UINT state = menu ? GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) : static_cast<UINT>(-1);
        if (state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED)))
            SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    case Kind::Minimize:
        w->iconicClient = SIZE{input.clientWidth, input.clientHeight};
        SendMessageA(dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case Kind::Restore:
        SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    }
}

[[noreturn]] void no_front_end()
{
    std::fprintf(stderr, "A modal loop waits for input, but no front end shows the windows.\n");
    std::abort();
}

void center(Window& w, HWND owner)
{
    const LONG width = w.rect.right - w.rect.left;
    const LONG height = w.rect.bottom - w.rect.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &area);
    LONG left = area.left + (area.right - area.left - width) / 2;
    LONG top = area.top + (area.bottom - area.top - height) / 2;
    // Over an owner that was moved to the edge of the screen, the dialog is
    // pulled back onto the screen where it fits, as Windows keeps it there.
    const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (width <= screenWidth)
        left = std::clamp(left, LONG{0}, screenWidth - width);
    if (height <= screenHeight)
        top = std::clamp(top, LONG{0}, screenHeight - height);
    w.rect = RECT{left, top, left + width, top + height};
}

}  // namespace

HWND innermost_modal_dialog()
{
    auto& stack = modal_stack();
    return stack.empty() ? nullptr : stack.back();
}

HWND detail::create_dialog(const resources::DialogTemplate& t, HWND owner, DLGPROC dialogProc, LPARAM param,
                           frontend::WindowKind kind, std::optional<frontend::MessageBoxView> messageBox,
                           const IconLoader& loadIcon)
{
    frontend::FrontEnd* fe = frontend::current();
    if (!fe) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    frontend::FontRequest font;
    if (t.style & DS_SETFONT) {
        font.faceName = t.faceName;
        font.pointSize = t.pointSize;
        font.weight = t.weight;
        font.italic = t.italic != 0;
    }
    const frontend::BaseUnits base = fe->base_units(font);
    RECT rect = to_units(t.x, t.y, t.cx, t.cy, base);

    const std::u16string className = t.windowClass.is_id() || t.windowClass.name.empty() ? u"#32770" : t.windowClass.name;
    HWND dialog = create(t.exStyle, className, t.title, (t.style & ~(WS_VISIBLE | WS_CHILD)) | WS_POPUP, rect,
                         owner, 0, nullptr);
    if (!dialog)
        return nullptr;
    Window* w = find(dialog);
    w->kind = kind;
    w->messageBox = std::move(messageBox);
    w->dialogProc = dialogProc;

    const bool centred = (t.style & DS_CENTER) ||
                         (t.x == 0 && t.y == 0 && !(t.style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)));
    if (centred) {
        center(*w, w->owner);
    } else if (w->owner && !(t.style & DS_ABSALIGN)) {
        // The position counts from the owner's client area.
        RECT ownerRect;
        GetWindowRect(w->owner, &ownerRect);
        w->rect.left += ownerRect.left;
        w->rect.right += ownerRect.left;
        w->rect.top += ownerRect.top;
        w->rect.bottom += ownerRect.top;
    }

    for (const auto& item : t.items) {
        const std::u16string itemClass = class_of(item.windowClass);
        const std::u16string text = item.text.is_id() ? std::u16string() : item.text.name;
        // The old format stores 16-bit ids: IDC_STATIC comes back as 65535 there.
        const int id = t.extended ? static_cast<int>(item.id) : static_cast<int>(item.id & 0xFFFF);
        HWND control = create(item.exStyle, itemClass, text, item.style | WS_CHILD,
                              to_units(item.x, item.y, item.cx, item.cy, base), dialog, id, nullptr);
        if (!control) {
            DestroyWindow(dialog);
            return nullptr;
        }
        if (item.text.is_id() && (item.style & SS_TYPEMASK) == SS_ICON && loadIcon)
            SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(loadIcon(*item.text.id)), 0);
        Window* c = find(control);
        if (w->defaultId == 0 && detail::is_push_button(*c) && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            w->defaultId = id;
    }

    std::vector<HWND> stops = tab_stops(dialog);
    const HWND firstStop = stops.empty() ? nullptr : stops.front();
    const LRESULT setFocus = SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstStop), param);
    w = find(dialog);
    if (!w)
        return nullptr;
    if (setFocus && !w->ended && firstStop && IsWindow(firstStop))
        SetFocus(firstStop);
    if ((t.style & WS_VISIBLE) && !w->ended)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

INT_PTR detail::run_modal(HWND dialog)
{
    Window* w = find(dialog);
    if (!w)
        return -1;
    if (!w->ended) {
        ShowWindow(dialog, SW_SHOW);
        frontend::FrontEnd* fe = frontend::current();
        if (!fe)
            no_front_end();
        while ((w = find(dialog)) != nullptr && !w->ended) {
            paint_pending();
            frontend::ScreenView view = screen_view();
            fe->show(view);
            if (!(w = find(dialog)) || w->ended)
                break;
            const frontend::Input input = fe->next_input(dialog, view);
            handle_input(dialog, input);
        }
    }
    w = find(dialog);
    if (!w)
        return -1;
    const INT_PTR result = w->endResult;
    if (w->ownerDisabled) {
        w->ownerDisabled = false;
        EnableWindow(w->owner, TRUE);
    }
    DestroyWindow(dialog);
    return result;
}

INT_PTR detail::modal_dialog(const resources::DialogTemplate& t, HWND owner, DLGPROC dialogProc, LPARAM param,
                             frontend::WindowKind kind, std::optional<frontend::MessageBoxView> messageBox,
                             const IconLoader& loadIcon)
{
    // The owner is the top-level window of whatever was given.
    while (owner && GetParent(owner) && (GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD))
        owner = GetParent(owner);
    if (owner && !IsWindow(owner))
        owner = nullptr;
    const bool disableOwner = owner && IsWindowEnabled(owner);
    // Disabling the owner takes the focus from its control; the owner gets it
    // back when it is active again, as a dialog remembers its focus.
    const HWND ownerFocus = GetFocus();
    auto give_focus_back = [owner, ownerFocus] {
        if (owner && ownerFocus && IsWindow(ownerFocus) && IsWindowEnabled(owner) &&
            (ownerFocus == owner || GetParent(ownerFocus) == owner) && !GetFocus())
            SetFocus(ownerFocus);
    };
    if (disableOwner)
        EnableWindow(owner, FALSE);

    // The dialog counts as the innermost modal one from its creation on, so
    // that a message box shown during WM_INITDIALOG is owned by it.
    struct StackEntry {
        StackEntry() { modal_stack().push_back(nullptr); }
        ~StackEntry() { modal_stack().pop_back(); }
    } entry;
    HWND dialog = nullptr;
    {
        // Take the dialog's handle onto the stack as soon as it exists.
        CreationHook hook([](HWND created) { modal_stack().back() = created; });
        dialog = create_dialog(t, owner, dialogProc, param, kind, std::move(messageBox), loadIcon);
    }
    if (!dialog) {
        if (disableOwner)
            EnableWindow(owner, TRUE);
        give_focus_back();
        return -1;
    }
    Window* w = find(dialog);
    w->ownerDisabled = disableOwner && !w->ended;
    if (disableOwner && w->ended)
        EnableWindow(owner, TRUE);
    const INT_PTR result = run_modal(dialog);
    give_focus_back();
    return result;
}

INT_PTR dialog_box(const resources::DialogTemplate& t, HWND owner, DLGPROC dialogProc, LPARAM param,
                   const IconLoader& loadIcon)
{
    return detail::modal_dialog(t, owner, dialogProc, param, frontend::WindowKind::Dialog, std::nullopt, loadIcon);
}

}  // namespace platform::windows

using platform::windows::detail::find;
using platform::windows::detail::Window;

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    Window* w = find(dialog);
    if (!w || w->kind == platform::frontend::WindowKind::TopLevel)
        return FALSE;
    w->ended = true;
    w->endResult = result;
    // The owner comes back at once, as the dialog disappears.
    if (w->ownerDisabled) {
        w->ownerDisabled = false;
        EnableWindow(w->owner, TRUE);
    }
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(dialog);
    if (!w)
        return 0;
    if (DLGPROC proc = w->dialogProc) {
        w->msgResult = 0;
        const INT_PTR handled = proc(dialog, msg, wParam, lParam);
        if (!(w = find(dialog)))
            return handled;
        if (handled) {
            switch (msg) {
            case WM_INITDIALOG:
            case WM_QUERYDRAGICON:
                return handled;
            default:
                return w->msgResult;
            }
        }
    }
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE: {
        const HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel))
            return 0;
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID:
        if (w->defaultId && GetDlgItem(dialog, w->defaultId))
            return MAKELONG(w->defaultId, DC_HASDEFID);
        return 0;
    case DM_SETDEFID:
        w->defaultId = static_cast<int>(wParam);
        return TRUE;
    default:
        return DefWindowProcA(dialog, msg, wParam, lParam);
    }
}
