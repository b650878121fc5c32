#include "platform/frontend/terminal/painter.h"

#include "platform/frontend/terminal/text_layout.h"

#include <algorithm>
#include <cwctype>
#include <string>

namespace platform::frontend::terminal {

namespace {

// Window, static and menu style bits the picture depends on.
constexpr DWORD kStyleCaption = 0x00C00000;
constexpr DWORD kStyleSysMenu = 0x00080000;
constexpr DWORD kStaticTypeMask = 0x1F;
constexpr DWORD kStaticCenter = 0x1;
constexpr DWORD kStaticRight = 0x2;
constexpr DWORD kStaticSimple = 0xB;
constexpr DWORD kStaticLeftNoWordWrap = 0xC;
constexpr DWORD kStaticNoPrefix = 0x80;
constexpr UINT kMenuGrayed = 0x1;
constexpr UINT kMenuDisabled = 0x2;
constexpr UINT kMenuSeparator = 0x800;
constexpr UINT kCommandClose = 0xF060;  // SC_CLOSE
constexpr int kChecked = 1;
constexpr int kIndeterminate = 2;
constexpr UINT kMbIconMask = 0xF0;
constexpr UINT kMbIconStop = 0x10;
constexpr UINT kMbIconQuestion = 0x20;
constexpr UINT kMbIconExclamation = 0x30;
constexpr UINT kMbIconInformation = 0x40;
constexpr UINT kMbTypeMask = 0xF;

constexpr std::wstring_view kMenuMarker = L"[-]";
constexpr std::wstring_view kCloseBox = L"[x]";
constexpr std::wstring_view kKeyHints =
    L" Tab/Shift+Tab: move  Space: press  Enter: default button  Esc: cancel  Alt+Space/F10: menu ";
constexpr std::wstring_view kMoveHints = L" Arrows: move  Enter: place it here  Esc: put it back ";
// The caption cells that stay on the screen beside the marker when a window is moved off it.
constexpr int kCaptionCellsKept = 4;

Area to_area(const RECT& r)
{
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
            static_cast<int>(r.bottom)};
}

Area shifted(Area a, int dx, int dy)
{
    return {a.left + dx, a.top + dy, a.right + dx, a.bottom + dy};
}

Area unite(const Area& a, const Area& b)
{
    if (a.empty()) {
        return b;
    }
    if (b.empty()) {
        return a;
    }
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool has_title_bar(const WindowView& window)
{
    return (window.style & kStyleCaption) == kStyleCaption;
}

bool has_system_menu(const WindowView& window)
{
    return has_title_bar(window) && (window.style & kStyleSysMenu) != 0;
}

// Writes a label, underlining its access key.
void draw_label(Canvas& canvas, int x, int y, const Label& label, CellStyle style, const Area& clip)
{
    for (std::size_t i = 0; i < label.text.size(); ++i) {
        CellStyle s = style;
        if (static_cast<int>(i) == label.accessIndex) {
            s.flags |= kUnderline;
        }
        x += canvas.put(x, y, label.text[i], s, clip);
    }
}

// The menu item text and its right-hand shortcut text (after a tab).
struct MenuLine {
    Label label;
    std::wstring shortcut;
};

MenuLine menu_line(const MenuItemView& item)
{
    std::wstring text = to_wide(item.text);
    MenuLine line;
    std::size_t tab = text.find(L'\t');
    if (tab != std::wstring::npos) {
        line.shortcut = text.substr(tab + 1);
        text.resize(tab);
    }
    line.label = parse_label(text);
    return line;
}

void paint_emblem(Canvas& canvas, const Area& area, CellStyle face, const Area& clip)
{
    CellStyle style{Paint::Emblem, face.flags};
    // The application's emblem: an open box with an arrow leaving it.
    if (area.right - area.left >= 5 && area.bottom - area.top >= 3) {
        int x = area.left + (area.right - area.left - 5) / 2;
        int y = area.top + (area.bottom - area.top - 3) / 2;
        canvas.text(x, y, L" /^\\ ", style, clip);
        canvas.text(x, y + 1, L"| | |", style, clip);
        canvas.text(x, y + 2, L"|___|", style, clip);
    } else {
        int x = area.left + std::max(0, (area.right - area.left - 3) / 2);
        canvas.text(x, area.top + (area.bottom - area.top - 1) / 2, L"[^]", style, clip);
    }
}

void paint_message_icon(Canvas& canvas, const Area& area, UINT type, CellStyle face, const Area& clip)
{
    std::wstring_view sign;
    Paint paint = Paint::StopIcon;
    switch (type & kMbIconMask) {
    case kMbIconStop: sign = L"(X)"; break;
    case kMbIconQuestion: sign = L"(?)"; paint = Paint::QuestionIcon; break;
    case kMbIconExclamation: sign = L"/!\\"; break;
    case kMbIconInformation: sign = L"(i)"; paint = Paint::QuestionIcon; break;
    default: return;
    }
    int x = area.left + std::max(0, (area.right - area.left - 3) / 2);
    int y = area.top + std::max(0, (area.bottom - area.top - 1) / 2);
    canvas.text(x, y, sign, {paint, static_cast<std::uint8_t>(face.flags | kBold)}, clip);
}

void paint_static_text(Canvas& canvas, const ControlView& control, const Area& area, CellStyle style,
                       const Area& clip)
{
    DWORD type = control.style & kStaticTypeMask;
    Label label = parse_label(to_wide(control.text), (control.style & kStaticNoPrefix) != 0);
    int width = area.right - area.left;
    std::vector<LineSpan> lines;
    if (type == kStaticSimple || type == kStaticLeftNoWordWrap) {
        lines.push_back({0, label.text.size()});
    } else {
        lines = wrap_text(label.text, width);
    }
    Area inner = area.intersect(clip);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        int y = area.top + static_cast<int>(row);
        if (y >= area.bottom) {
            break;
        }
        std::wstring_view line(label.text.data() + lines[row].begin, lines[row].end - lines[row].begin);
        int lineWidth = text_width(line);
        int x = area.left;
        if (type == kStaticCenter) {
            x += std::max(0, (width - lineWidth) / 2);
        } else if (type == kStaticRight) {
            x += std::max(0, width - lineWidth);
        }
        for (std::size_t i = 0; i < line.size(); ++i) {
            CellStyle s = style;
            if (static_cast<int>(lines[row].begin + i) == label.accessIndex) {
                s.flags |= kUnderline;
            }
            x += canvas.put(x, y, line[i], s, inner);
        }
    }
}

void paint_push_button(Canvas& canvas, const ControlView& control, const Area& area, CellStyle style,
                       bool focused, const Area& clip)
{
    Label label = parse_label(to_wide(control.text));
    int width = area.right - area.left;
    std::wstring_view open = control.isDefault ? L"[[ " : L"[ ";
    std::wstring_view close = control.isDefault ? L" ]]" : L" ]";
    int labelWidth = text_width(label.text);
    if (labelWidth + 2 * static_cast<int>(open.size()) > width) {
        open = control.isDefault ? L"[[" : L"[";
        close = control.isDefault ? L"]]" : L"]";
    }
    int total = labelWidth + static_cast<int>(open.size() + close.size());
    int x = area.left + std::max(0, (width - total) / 2);
    int y = area.top + std::max(0, (area.bottom - area.top - 1) / 2);
    if (control.isDefault) {
        style.flags |= kBold;
    }
    if (focused) {
        style.flags |= kReverse;
    }
    Area inner = area.intersect(clip);
    // Keep the closing bracket visible when the label has to be cut.
    int room = std::max(0, width - static_cast<int>(open.size() + close.size()));
    std::wstring_view shown = fit_columns(label.text, room);
    Label cut = label;
    cut.text.assign(shown);
    x += canvas.text(x, y, open, style, inner);
    int before = x;
    draw_label(canvas, x, y, cut, style, inner);
    x = before + text_width(shown);
    canvas.text(x, y, close, style, inner);
}

constexpr int kCheckMarkColumns = 4;  // "[X] " before the label

// The cells a check box takes, in the coordinates of `area` (its rectangle)
// and `client` (its window's client area). A cell is coarser than a pixel: a
// label that a proportional font fits into the rectangle may need a few more
// cells, taken from the client area to its right rather than cut off, and
// those cells take clicks as the rectangle does.
Area check_box_extent(const ControlView& control, const Area& area, const Area& client)
{
    int drawnRight = area.left + kCheckMarkColumns + text_width(parse_label(to_wide(control.text)).text);
    return {area.left, area.top, std::max(area.right, std::min(drawnRight, client.right)), area.bottom};
}

void paint_check_box(Canvas& canvas, const ControlView& control, const Area& area, CellStyle style,
                     bool focused, const Area& clip)
{
    std::wstring_view box = control.checkState == kChecked         ? L"[X]"
                            : control.checkState == kIndeterminate ? L"[-]"
                                                                   : L"[ ]";
    int y = area.top + std::max(0, (area.bottom - area.top - 1) / 2);
    Area inner = check_box_extent(control, area, clip).intersect(clip);
    int x = area.left + canvas.text(area.left, y, box, style, inner);
    x += canvas.put(x, y, L' ', style, inner);
    CellStyle labelStyle = style;
    if (focused) {
        labelStyle.flags |= kReverse;
    }
    draw_label(canvas, x, y, parse_label(to_wide(control.text)), labelStyle, inner);
}

void paint_control(Canvas& canvas, const WindowView& window, const ControlView& control, int dx, int dy,
                   CellStyle face, const Area& clientClip)
{
    if (!control.visible) {
        return;
    }
    Area area = shifted(to_area(control.rect), dx, dy);
    CellStyle style = face;
    if (!control.enabled) {
        style.flags |= kDim;
    }
    bool focused = control.focused && window.active;
    switch (control.kind) {
    case ControlKind::PushButton:
        paint_push_button(canvas, control, area, style, focused, clientClip);
        break;
    case ControlKind::CheckBox:
        paint_check_box(canvas, control, area, style, focused, clientClip);
        break;
    case ControlKind::GroupBox: {
        canvas.frame(area, style, clientClip);
        Label label = parse_label(to_wide(control.text));
        if (!label.text.empty()) {
            Area top{area.left + 1, area.top, area.right - 1, area.top + 1};
            int x = area.left + 1 + canvas.put(area.left + 1, area.top, L' ', style, top.intersect(clientClip));
            label.text.push_back(L' ');
            draw_label(canvas, x, area.top, label, style, top.intersect(clientClip));
        }
        break;
    }
    case ControlKind::StaticText:
        paint_static_text(canvas, control, area, style, clientClip);
        break;
    case ControlKind::StaticIcon:
        if (window.messageBox && (window.messageBox->type & kMbIconMask) != 0) {
            paint_message_icon(canvas, area.intersect(clientClip), window.messageBox->type, style, clientClip);
        } else {
            paint_emblem(canvas, area, style, clientClip);
        }
        break;
    case ControlKind::Other:
        canvas.frame(area, style, clientClip);
        break;
    }
}

// A message box that the window manager gave as text only: laid out here.
void paint_bare_message_box(Canvas& canvas, const WindowView& window, const Area& client, CellStyle face)
{
    const MessageBoxView& box = *window.messageBox;
    int textLeft = client.left + 2;
    if ((box.type & kMbIconMask) != 0) {
        paint_message_icon(canvas, {client.left + 1, client.top + 1, client.left + 4, client.top + 2},
                           box.type, face, client);
        textLeft = client.left + 6;
    }
    std::wstring text = to_wide(box.text);
    int row = client.top + 1;
    for (const LineSpan& line : wrap_text(text, std::max(1, client.right - 1 - textLeft))) {
        if (row >= client.bottom - 2) {
            break;
        }
        canvas.text(textLeft, row++, std::wstring_view(text).substr(line.begin, line.end - line.begin), face,
                    client);
    }
    static const std::wstring_view kButtons[] = {L"[ OK ]", L"[ OK ]  [ ｷｬﾝｾﾙ ]", L"[ 中止 ]  [ 再試行 ]  [ 無視 ]",
                                                 L"[ はい ]  [ いいえ ]  [ ｷｬﾝｾﾙ ]", L"[ はい ]  [ いいえ ]",
                                                 L"[ 再試行 ]  [ ｷｬﾝｾﾙ ]"};
    UINT set = box.type & kMbTypeMask;
    std::wstring_view buttons = set < std::size(kButtons) ? kButtons[set] : kButtons[0];
    int x = client.left + std::max(0, (client.right - client.left - text_width(buttons)) / 2);
    canvas.text(x, client.bottom - 1, buttons, face, client);
}

void paint_window(Canvas& canvas, const WindowView& window, const PaintState& state)
{
    Area client = shifted(to_area(window.clientRect), state.offsetX, state.offsetY);
    Area frame = shifted(frame_area(window), state.offsetX, state.offsetY);
    CellStyle face{Paint::Face, 0};
    canvas.fill(frame, L' ', face);
    canvas.frame(frame, face, frame);
    if (has_title_bar(window)) {
        CellStyle title{window.active ? Paint::Title : Paint::TitleInactive, kBold};
        Area bar{frame.left, frame.top, frame.right, frame.top + 1};
        canvas.fill(bar, L' ', title);
        int x = frame.left;
        Area captionArea = bar;
        if (has_system_menu(window)) {
            x += canvas.text(x, frame.top, kMenuMarker, title, bar);
            captionArea.right = frame.right - static_cast<int>(kCloseBox.size()) - 1;
            CellStyle closeBox = title;
            if (!window.closeEnabled) {
                closeBox.flags |= kDim;
            }
            canvas.text(frame.right - static_cast<int>(kCloseBox.size()), frame.top, kCloseBox, closeBox, bar);
        }
        x += canvas.put(x, frame.top, L' ', title, captionArea);
        canvas.text(x, frame.top, to_wide(window.caption), title, captionArea);
    }
    if (!window.iconic) {
        if (window.messageBox && window.controls.empty()) {
            paint_bare_message_box(canvas, window, client, face);
        }
        for (const ControlView& control : window.controls) {
            paint_control(canvas, window, control, client.left, client.top, face, client);
        }
    }
    auto icons = state.icons.find(window.handle);
    if (icons != state.icons.end()) {
        for (const POINT& at : icons->second) {
            paint_emblem(canvas, {client.left + at.x, client.top + at.y, client.left + at.x + 5, client.top + at.y + 3},
                         face, client);
        }
    }
    if (!window.enabled) {
        canvas.add_flags(frame, kDim);
    }
}

void paint_menu(Canvas& canvas, const WindowView& window, const PaintState& state)
{
    Area area = shifted(menu_area(window, state.layout), state.offsetX, state.offsetY);
    CellStyle menu{Paint::Menu, 0};
    canvas.fill(area, L' ', menu);
    canvas.frame(area, menu, area);
    Area inner{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    for (std::size_t i = 0; i < window.systemMenu.size(); ++i) {
        const MenuItemView& item = window.systemMenu[i];
        int y = inner.top + static_cast<int>(i);
        if (item.flags & kMenuSeparator) {
            canvas.put(area.left, y, 0x251C, menu, area);
            for (int x = inner.left; x < inner.right; ++x) {
                canvas.put(x, y, 0x2500, menu, area);
            }
            canvas.put(inner.right, y, 0x2524, menu, area);
            continue;
        }
        CellStyle style = menu;
        if (static_cast<int>(i) == state.menuSelection) {
            style.paint = Paint::MenuSelected;
        }
        if (!menu_item_selectable(window, item)) {
            style.flags |= kDim;
        }
        canvas.fill({inner.left, y, inner.right, y + 1}, L' ', style);
        MenuLine line = menu_line(item);
        draw_label(canvas, inner.left + 1, y, line.label, style, inner);
        if (!line.shortcut.empty()) {
            canvas.text(inner.right - 1 - text_width(line.shortcut), y, line.shortcut, style, inner);
        }
    }
}

}  // namespace

Area frame_area(const WindowView& window)
{
    Area client = to_area(window.clientRect);
    return {client.left - 1, client.top - 1, client.right + 1, client.bottom + 1};
}

Area menu_area(const WindowView& window, SIZE layout)
{
    Area frame = frame_area(window);
    int width = 0;
    for (const MenuItemView& item : window.systemMenu) {
        if (item.flags & kMenuSeparator) {
            continue;
        }
        MenuLine line = menu_line(item);
        int w = text_width(line.label.text);
        if (!line.shortcut.empty()) {
            w += 3 + text_width(line.shortcut);
        }
        width = std::max(width, w);
    }
    width += 4;
    const int height = static_cast<int>(window.systemMenu.size()) + 2;
    int left = frame.left;
    int top = frame.top + 1;
    if (layout.cx > 0 && left + width > layout.cx) {
        left = std::max(0, static_cast<int>(layout.cx) - width);
    }
    if (layout.cy > 0 && top + height > layout.cy && frame.top - height >= 0) {
        top = frame.top - height;
    }
    return {left, top, left + width, top + height};
}

namespace {

// [low, high) cut to [0, length) when it fits there at all.
void cut_to_screen(int& low, int& high, int length)
{
    if (length > 0 && high - low <= length) {
        low = std::max(low, 0);
        high = std::min(high, length);
    }
}

}  // namespace

Area needed_area(const ScreenView& screen, SIZE layout)
{
    Area all;
    for (const WindowView& window : screen.windows) {
        if (!window.visible) {
            continue;
        }
        Area frame = frame_area(window);
        cut_to_screen(frame.left, frame.right, static_cast<int>(layout.cx));
        cut_to_screen(frame.top, frame.bottom, static_cast<int>(layout.cy));
        if (!frame.empty()) {
            all = unite(all, frame);
        }
        if (window.systemMenuOpen) {
            all = unite(all, menu_area(window, layout));
        }
    }
    return all;
}

POINT allowed_move(const WindowView& window, POINT place, SIZE layout)
{
    const Area frame = frame_area(window);
    // The frame's corner relative to the rect's corner.
    const int frameDx = frame.left - static_cast<int>(window.rect.left);
    const int frameDy = frame.top - static_cast<int>(window.rect.top);
    const int keptWidth = std::min(frame.right - frame.left,
                                   static_cast<int>(kMenuMarker.size()) + 1 + kCaptionCellsKept);
    // The bounds for the frame's corner, widened to take in where it stands now.
    auto clamp = [](int value, int low, int high, int now) {
        return std::clamp(value, std::min(low, now), std::max(std::max(low, high), now));
    };
    const int left = clamp(static_cast<int>(place.x) + frameDx, 0, static_cast<int>(layout.cx) - keptWidth, frame.left);
    const int top = clamp(static_cast<int>(place.y) + frameDy, 0, static_cast<int>(layout.cy) - 2, frame.top);
    return {left - frameDx, top - frameDy};
}

WindowView moved_to(const WindowView& window, POINT place)
{
    WindowView moved = window;
    const LONG dx = place.x - window.rect.left;
    const LONG dy = place.y - window.rect.top;
    moved.rect = {window.rect.left + dx, window.rect.top + dy, window.rect.right + dx, window.rect.bottom + dy};
    moved.clientRect = {window.clientRect.left + dx, window.clientRect.top + dy, window.clientRect.right + dx,
                        window.clientRect.bottom + dy};
    return moved;
}

namespace {

// The offset along one axis: centred, then pulled in so that [low, high) lies
// within [0, length) where it can.
int place_axis(int low, int high, int layoutLength, int length)
{
    int offset = (length - layoutLength) / 2;
    if (high + offset > length) {
        offset = length - high;
    }
    if (low + offset < 0) {
        offset = -low;
    }
    return offset;
}

}  // namespace

bool place_on_terminal(const Area& needed, SIZE layout, int columns, int rows, PaintState& state)
{
    if (layout.cx <= 0 || layout.cy <= 0) {
        layout = {columns, rows};  // nothing was centred yet: the terminal is the screen
    }
    state.layout = layout;
    if (needed.empty()) {
        state.offsetX = (columns - layout.cx) / 2;
        state.offsetY = (rows - layout.cy) / 2;
        return true;
    }
    state.offsetX = place_axis(needed.left, needed.right, static_cast<int>(layout.cx), columns);
    state.offsetY = place_axis(needed.top, needed.bottom, static_cast<int>(layout.cy), rows);
    return needed.right - needed.left <= columns && needed.bottom - needed.top <= rows;
}

void paint_screen(const ScreenView& screen, const PaintState& state, Canvas& canvas)
{
    canvas.fill({0, 0, canvas.width(), canvas.height()}, L' ', {Paint::Desktop, 0});
    if (state.showKeyHints && canvas.height() > 0) {
        std::wstring_view hints = fit_columns(state.moving ? kMoveHints : kKeyHints, canvas.width());
        canvas.text(0, canvas.height() - 1, hints, {Paint::Desktop, 0}, {0, 0, canvas.width(), canvas.height()});
    }
    for (const WindowView& window : screen.windows) {
        if (window.visible) {
            paint_window(canvas, window, state);
        }
    }
    for (const WindowView& window : screen.windows) {
        if (window.visible && window.systemMenuOpen) {
            paint_menu(canvas, window, state);
        }
    }
}

void paint_too_small(Canvas& canvas, int neededWidth, int neededHeight)
{
    Area all{0, 0, canvas.width(), canvas.height()};
    CellStyle style{Paint::Desktop, kBold};
    canvas.fill(all, L' ', style);
    const std::wstring message =
        L"The terminal is too small for this window.\n"
        L"It needs " + std::to_wstring(neededWidth) + L" x " + std::to_wstring(neededHeight) +
        L" characters; it has " + std::to_wstring(canvas.width()) + L" x " +
        std::to_wstring(canvas.height()) + L".\n"
        L"Enlarge the terminal to go on.";
    // Wrapped, so that a narrow terminal still shows the whole of it.
    const std::vector<LineSpan> lines = wrap_text(message, canvas.width());
    int y = std::max(0, (canvas.height() - static_cast<int>(lines.size())) / 2);
    for (const LineSpan& line : lines) {
        std::wstring_view text = std::wstring_view(message).substr(line.begin, line.end - line.begin);
        canvas.text(0, y++, text, style, all);
    }
}

const WindowView* find_window(const ScreenView& screen, HWND handle)
{
    for (const WindowView& window : screen.windows) {
        if (window.handle == handle) {
            return &window;
        }
    }
    return nullptr;
}

Hit hit_test(const ScreenView& screen, const PaintState& state, HWND active, int x, int y)
{
    const WindowView* window = find_window(screen, active);
    if (window == nullptr || !window->visible) {
        return {};
    }
    x -= state.offsetX;
    y -= state.offsetY;
    if (window->systemMenuOpen) {
        Area menu = menu_area(*window, state.layout);
        if (!menu.contains(x, y)) {
            return {Hit::Kind::OutsideMenu};
        }
        int index = y - menu.top - 1;
        if (index >= 0 && index < static_cast<int>(window->systemMenu.size()) && x > menu.left &&
            x < menu.right - 1 && menu_item_selectable(*window, window->systemMenu[index])) {
            return {Hit::Kind::MenuItem, 0, index};
        }
        return {};
    }
    Area frame = frame_area(*window);
    if (y == frame.top && has_system_menu(*window)) {
        if (x >= frame.left && x < frame.left + static_cast<int>(kMenuMarker.size())) {
            return {Hit::Kind::SystemMenuMarker};
        }
        if (x >= frame.right - static_cast<int>(kCloseBox.size()) && x < frame.right) {
            return window->closeEnabled ? Hit{Hit::Kind::CloseBox} : Hit{};
        }
    }
    if (window->iconic) {
        return {};
    }
    int cx = x - window->clientRect.left;
    int cy = y - window->clientRect.top;
    const Area client{0, 0, static_cast<int>(window->clientRect.right - window->clientRect.left),
                      static_cast<int>(window->clientRect.bottom - window->clientRect.top)};
    for (auto it = window->controls.rbegin(); it != window->controls.rend(); ++it) {
        const ControlView& control = *it;
        if (!control.visible || !control.enabled ||
            (control.kind != ControlKind::PushButton && control.kind != ControlKind::CheckBox)) {
            continue;
        }
        Area area = to_area(control.rect);
        if (control.kind == ControlKind::CheckBox) {
            area = check_box_extent(control, area, client);
        }
        if (area.contains(cx, cy)) {
            return {Hit::Kind::Control, control.id};
        }
    }
    return {};
}

std::optional<int> control_for_access_key(const WindowView& window, wchar_t key)
{
    key = static_cast<wchar_t>(std::towlower(key));
    for (const ControlView& control : window.controls) {
        if (!control.visible || !control.enabled ||
            (control.kind != ControlKind::PushButton && control.kind != ControlKind::CheckBox)) {
            continue;
        }
        if (parse_label(to_wide(control.text)).accessKey == key) {
            return control.id;
        }
    }
    return std::nullopt;
}

bool menu_item_selectable(const WindowView& window, const MenuItemView& item)
{
    if (item.id == kCommandClose && !window.closeEnabled) {
        return false;
    }
    return (item.flags & (kMenuSeparator | kMenuGrayed | kMenuDisabled)) == 0;
}

std::optional<int> menu_item_for_access_key(const WindowView& window, wchar_t key)
{
    key = static_cast<wchar_t>(std::towlower(key));
    for (std::size_t i = 0; i < window.systemMenu.size(); ++i) {
        const MenuItemView& item = window.systemMenu[i];
        if (menu_item_selectable(window, item) && menu_line(item).label.accessKey == key) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

int next_menu_item(const WindowView& window, int from, int step)
{
    int count = static_cast<int>(window.systemMenu.size());
    if (count == 0) {
        return -1;
    }
    for (int n = 1; n <= count; ++n) {
        int i = ((from + step * n) % count + count) % count;
        if (menu_item_selectable(window, window.systemMenu[i])) {
            return i;
        }
    }
    return -1;
}

}  // namespace platform::frontend::terminal
