#pragma once
// Draws the window manager's picture of the screen onto a Canvas, and finds
// what lies under a point. Pure: no curses, so the tests can read the result.
//
// One character cell is one front-end unit. A window occupies its client
// rectangle plus one cell around it: the title bar on top (system-menu
// marker "[-]", caption, close box "[x]", dimmed where Close does nothing),
// a line on the other three sides.

#include "platform/frontend/frontend.h"
#include "platform/frontend/terminal/canvas.h"

#include <map>
#include <optional>
#include <vector>

namespace platform::frontend::terminal {

// What the terminal keeps beside the window manager's state.
struct PaintState {
    int offsetX = 0;  // where the window manager's (0, 0) lands on the terminal
    int offsetY = 0;
    int menuSelection = -1;                    // the highlighted item of the open system menu
    std::map<HWND, std::vector<POINT>> icons;  // icons a window painted, client coordinates
    bool showKeyHints = true;                  // the key line at the foot of the desktop
    bool moving = false;                       // a window is being moved: the key line says how
    SIZE layout{0, 0};                         // the screen the windows were laid out on (0: the terminal)
};

// The cells a window takes (frame included), in the window manager's units.
Area frame_area(const WindowView& window);

// The cells the open system menu of a window takes: below the title bar,
// or above it and further left where the screen of `layout` cells has no
// room there (a moved window may stand at its edge).
Area menu_area(const WindowView& window, SIZE layout = {0, 0});

// All visible windows and open menus together: what must be on the terminal.
// A window that fits on the screen of `layout` cells counts only with its
// part on that screen, so that one moved partly off it is cut at its edge
// instead of pushing the others aside.
Area needed_area(const ScreenView& screen, SIZE layout = {0, 0});

// Where a window being moved may go: `place` (a top-left corner for its
// rect) pulled in so that its title bar stays on the screen of `layout`
// cells, above the key line, with its system-menu marker and a part of its
// caption. The place the window had before counts as allowed, so that a
// window larger than the screen can still be moved.
POINT allowed_move(const WindowView& window, POINT place, SIZE layout);

// The window as it is drawn while being moved to `place`.
WindowView moved_to(const WindowView& window, POINT place);

// Places the windows on a terminal of `columns` x `rows` cells, setting the
// offsets of `state` and its layout: the centre of the screen they were laid out on (of
// `layout` cells) goes to the centre of the terminal, moved as little as
// needed to keep all of `needed` on it. Returns false when the terminal is
// smaller than `needed`.
bool place_on_terminal(const Area& needed, SIZE layout, int columns, int rows, PaintState& state);

void paint_screen(const ScreenView& screen, const PaintState& state, Canvas& canvas);

// The picture shown instead when the terminal cannot hold the windows.
void paint_too_small(Canvas& canvas, int neededWidth, int neededHeight);

struct Hit {
    enum class Kind { Nothing, SystemMenuMarker, CloseBox, Control, MenuItem, OutsideMenu };
    Kind kind = Kind::Nothing;
    int controlId = 0;
    int menuIndex = -1;
};

// What lies at terminal cell (x, y) for input to the window `active`.
Hit hit_test(const ScreenView& screen, const PaintState& state, HWND active, int x, int y);

const WindowView* find_window(const ScreenView& screen, HWND handle);

// The control of `window` (a push button or check box, visible and enabled)
// whose access key is `key`.
std::optional<int> control_for_access_key(const WindowView& window, wchar_t key);

// False for separators, greyed items, and Close where the window ignores it.
bool menu_item_selectable(const WindowView& window, const MenuItemView& item);
std::optional<int> menu_item_for_access_key(const WindowView& window, wchar_t key);

// The next selectable menu item from `from` in direction `step` (+1 or -1),
// wrapping around; -1 when none can be selected.
int next_menu_item(const WindowView& window, int from, int step);

}  // namespace platform::frontend::terminal
