#pragma once
// The scripted front end of the tests. A test queues what the user does;
// whenever a modal loop waits, the next action is taken. Everything shown is
// recorded in a transcript. Running out of actions while a loop waits ends
// the process with a message naming the window that waited: a test never hangs.
//
// Dialog units are measured with fixed base units of 7 x 13 (a 9-point
// proportional Japanese font at 96 dpi), on a 1024 x 768 screen.

#include "platform/frontend/frontend.h"

#include <deque>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace platform::frontend::scripted {

inline constexpr BaseUnits kBaseUnits{7, 13};
inline constexpr SIZE kScreenSize{1024, 768};

// One entry of the transcript.
struct Event {
    enum class Kind {
        WindowShown,       // a dialog or window became visible for the first time
        MessageBoxShown,   // a message box became visible
        IconDrawn,         // DrawIcon in a window's client area
        SystemMenuOpened,  // the system menu was opened (items as shown)
    };
    Kind kind = Kind::WindowShown;
    HWND window = nullptr;
    std::u16string caption;  // window caption
    std::string captionA;    // the same in code page 932
    // Message boxes.
    std::u16string text;
    std::string textA;
    UINT type = 0;
    HWND owner = nullptr;
    bool ownerEnabled = false;  // the owner's state while the box showed
    // Icons.
    int x = 0;
    int y = 0;
    HICON icon = nullptr;
    // System menus.
    std::vector<MenuItemView> menu;
};

class ScriptedFrontEnd : public FrontEnd {
public:
    // Becomes the current front end; the previous one comes back at destruction.
    ScriptedFrontEnd();
    ~ScriptedFrontEnd() override;
    ScriptedFrontEnd(const ScriptedFrontEnd&) = delete;
    ScriptedFrontEnd& operator=(const ScriptedFrontEnd&) = delete;

    // Actions, taken in the order queued, one each time a modal loop waits.
    void click(int controlId);           // a click on a button or check box of the waiting window
    void key(Key key);                   // Tab, Shift+Tab, Enter, Esc, Space
    void open_system_menu();
    void choose_system_menu(UINT command);  // the menu must be open
    void close_box();
    void answer_message_box(int result);  // the waiting window must be a message box with that button
    void minimize(int clientWidth, int clientHeight);
    void restore();
    // While a window is moved (after Move was chosen from its system menu):
    // moves it by dx, dy as the arrow keys would. key(Enter) then places it,
    // key(Escape) puts it back. A move that does not begin with move_by is
    // put back at once and takes no action.
    void move_by(int dx, int dy);
    // Runs `check` when the next action is due (the loop of `active` waits), then goes on.
    void then(std::function<void(HWND active)> check);

    std::size_t actions_left() const { return m_actions.size(); }
    const std::vector<Event>& transcript() const { return m_transcript; }
    std::vector<Event> events(Event::Kind kind) const;
    const ScreenView& last_screen() const { return m_lastScreen; }

    // FrontEnd
    BaseUnits base_units(const FontRequest& font) override;
    SIZE screen_size() override;
    void show(const ScreenView& screen) override;
    void draw_icon(HWND window, int x, int y, HICON icon) override;
    Input next_input(HWND active, const ScreenView& screen) override;
    std::optional<POINT> track_move(HWND window, const ScreenView& screen) override;

private:
    struct Answer {
        int result;
    };
    struct MoveBy {
        int dx;
        int dy;
    };
    using Action = std::variant<Input, Answer, MoveBy, std::function<void(HWND)>>;

    [[noreturn]] void fail(HWND active, const ScreenView& screen, const std::string& why) const;

    FrontEnd* m_previous;
    std::deque<Action> m_actions;
    std::vector<Event> m_transcript;
    std::vector<HWND> m_seen;
    ScreenView m_lastScreen;
};

}  // namespace platform::frontend::scripted
