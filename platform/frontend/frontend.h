#pragma once
// The one interface between the window manager (platform/windows) and whoever
// shows its windows to a person: the scripted front end of the tests, the
// terminal front end, later an X11 one. A front end never changes a window
// itself: it is shown a read-only picture of the screen and hands back what
// the user did. All geometry is in the front end's own units (pixels for a
// graphical front end, character cells for the terminal); dialog units are
// turned into them through the base units the front end reports.

#include "platform/win32/types.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::frontend {

// Horizontal and vertical dialog base units of a font: a dialog unit is
// x / 4 horizontally and y / 8 vertically, in the front end's units.
struct BaseUnits {
    int x = 0;
    int y = 0;
};

// The font a dialog template asks for (DS_SETFONT); empty face: the system font.
struct FontRequest {
    std::u16string faceName;
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
};

// What a control is, as far as drawing and input need to know.
enum class ControlKind {
    PushButton,      // BS_PUSHBUTTON and BS_DEFPUSHBUTTON
    CheckBox,        // BS_CHECKBOX, BS_AUTOCHECKBOX and their three-state kin
    GroupBox,        // BS_GROUPBOX
    StaticText,      // STATIC with SS_LEFT, SS_CENTER, SS_RIGHT, ...
    StaticIcon,      // STATIC with SS_ICON
    Other,           // any other class: drawn as a plain frame
};

// One child control of a window, as the window manager holds it.
struct ControlView {
    HWND handle = nullptr;
    int id = 0;
    ControlKind kind = ControlKind::Other;
    std::u16string className;
    std::u16string text;  // with '&' access-key markers as stored
    DWORD style = 0;
    RECT rect{};          // in the parent's client area
    bool visible = false;
    bool enabled = false;
    bool focused = false;
    bool isDefault = false;  // the push button that Enter presses now
    int checkState = 0;      // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    HICON icon = nullptr;    // StaticIcon only
};

struct MenuItemView {
    UINT flags = 0;  // MF_STRING, MF_SEPARATOR, MF_GRAYED, ...
    UINT id = 0;
    std::u16string text;
};

// Filled in for a message box so that a front end can show and record it.
struct MessageBoxView {
    std::u16string text;
    std::u16string caption;
    UINT type = 0;         // the MB_* flags as given
    HWND owner = nullptr;  // as given to MessageBoxA (may be null)
};

enum class WindowKind {
    TopLevel,    // a window of a registered class
    Dialog,      // a dialog built from a template
    MessageBox,  // a dialog built by MessageBoxA
};

// One top-level window.
struct WindowView {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::TopLevel;
    std::u16string className;
    std::u16string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    RECT rect{};        // the whole window, on the screen
    RECT clientRect{};  // the client area, on the screen
    bool visible = false;
    bool enabled = false;
    bool iconic = false;
    bool active = false;  // the window whose modal loop waits for input
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    std::vector<ControlView> controls;       // in creation (= tab) order
    std::vector<MenuItemView> systemMenu;    // the window's system menu
    bool systemMenuOpen = false;             // the user has opened it
    bool closeEnabled = true;                // Close (menu item, close box, Alt+F4) does something
    std::optional<MessageBoxView> messageBox;
};

// Everything on the screen, bottom-most window first.
struct ScreenView {
    std::vector<WindowView> windows;
};

enum class Key {
    Tab,
    ShiftTab,
    Enter,
    Escape,
    Space,
};

// One thing the user did while a modal loop waited.
struct Input {
    enum class Kind {
        Key,             // key: Tab, Shift+Tab, Enter, Esc, Space
        Click,           // a click on the control controlId of the active window
        OpenSystemMenu,  // the active window's system menu is opened
        ChooseSystemMenu,  // command: a system-menu item is chosen (the menu closes)
        CloseSystemMenu,   // the open system menu is dismissed
        CloseBox,        // the close box of the caption
        Minimize,        // the window is minimised; client size clientWidth x clientHeight
        Restore,         // the window is restored from its minimised state
    };
    Kind kind = Kind::Key;
    Key key = Key::Enter;
    int controlId = 0;
    UINT command = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

// A front end. The window manager calls it on the user-interface thread only.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // The base units of the given font; dialog templates are laid out with them.
    virtual BaseUnits base_units(const FontRequest& font) = 0;

    // The size of the screen, in the front end's units (dialogs are centred on it).
    virtual SIZE screen_size() = 0;

    // Shows the screen as it is now. Called whenever a modal loop is about to
    // wait, and after painting.
    virtual void show(const ScreenView& screen) = 0;

    // A window painted an icon into its client area at (x, y), client coordinates.
    virtual void draw_icon(HWND window, int x, int y, HICON icon) = 0;

    // The next thing the user does while the modal loop of `active` waits.
    // A front end that can give no more input (a script that ran out) must not
    // return: it reports the failure and ends the process.
    virtual Input next_input(HWND active, const ScreenView& screen) = 0;

    // Move from the system menu: the user moves `window` from the keyboard
    // until they place it (its new top-left corner on the screen is returned)
    // or put it back (nothing is returned). The window manager moves the
    // window afterwards; the front end only shows where it would go. A front
    // end that cannot move windows leaves them where they are.
    virtual std::optional<POINT> track_move(HWND window, const ScreenView& screen);
};

// The front end that shows this process's windows; null until one is chosen.
FrontEnd* current();

// Chooses the front end (null: none). The caller keeps it alive while windows exist.
void set_current(FrontEnd* frontEnd);

}  // namespace platform::frontend
