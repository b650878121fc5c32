#include "platform/frontend/scripted/scripted_frontend.h"

#include "platform/text/codepage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace platform::frontend::scripted {

namespace {

const WindowView* find_window(const ScreenView& screen, HWND handle)
{
    for (const auto& w : screen.windows)
        if (w.handle == handle)
            return &w;
    return nullptr;
}

const ControlView* find_control(const WindowView& window, int id)
{
    for (const auto& c : window.controls)
        if (LOWORD(c.id) == LOWORD(id))
            return &c;
    return nullptr;
}

}  // namespace

ScriptedFrontEnd::ScriptedFrontEnd() : m_previous(current())
{
    set_current(this);
}

ScriptedFrontEnd::~ScriptedFrontEnd()
{
    set_current(m_previous);
}

void ScriptedFrontEnd::click(int controlId)
{
    Input in;
    in.kind = Input::Kind::Click;
    in.controlId = controlId;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::key(Key key)
{
    Input in;
    in.kind = Input::Kind::Key;
    in.key = key;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::open_system_menu()
{
    Input in;
    in.kind = Input::Kind::OpenSystemMenu;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::choose_system_menu(UINT command)
{
    Input in;
    in.kind = Input::Kind::ChooseSystemMenu;
    in.command = command;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::close_box()
{
    Input in;
    in.kind = Input::Kind::CloseBox;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::answer_message_box(int result)
{
    m_actions.emplace_back(Answer{result});
}

void ScriptedFrontEnd::minimize(int clientWidth, int clientHeight)
{
    Input in;
    in.kind = Input::Kind::Minimize;
    in.clientWidth = clientWidth;
    in.clientHeight = clientHeight;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::restore()
{
    Input in;
    in.kind = Input::Kind::Restore;
    m_actions.emplace_back(in);
}

void ScriptedFrontEnd::move_by(int dx, int dy)
{
    m_actions.emplace_back(MoveBy{dx, dy});
}

void ScriptedFrontEnd::then(std::function<void(HWND)> check)
{
    m_actions.emplace_back(std::move(check));
}

std::vector<Event> ScriptedFrontEnd::events(Event::Kind kind) const
{
    std::vector<Event> found;
    std::copy_if(m_transcript.begin(), m_transcript.end(), std::back_inserter(found),
                 [kind](const Event& e) { return e.kind == kind; });
    return found;
}

BaseUnits ScriptedFrontEnd::base_units(const FontRequest&)
{
    return kBaseUnits;
}

SIZE ScriptedFrontEnd::screen_size()
{
    return kScreenSize;
}

void ScriptedFrontEnd::show(const ScreenView& screen)
{
    m_lastScreen = screen;
    for (const auto& w : screen.windows) {
        if (!w.visible)
            continue;
        if (std::find(m_seen.begin(), m_seen.end(), w.handle) == m_seen.end()) {
            m_seen.push_back(w.handle);
            Event e;
            e.kind = w.messageBox ? Event::Kind::MessageBoxShown : Event::Kind::WindowShown;
            e.window = w.handle;
            e.caption = w.caption;
            e.captionA = text::utf16_to_cp932(w.caption);
            if (w.messageBox) {
                e.text = w.messageBox->text;
                e.textA = text::utf16_to_cp932(e.text);
                e.type = w.messageBox->type;
                e.owner = w.messageBox->owner;
                const WindowView* owner = find_window(screen, w.owner);
                e.ownerEnabled = owner && owner->enabled;
            }
            m_transcript.push_back(std::move(e));
        }
        if (w.systemMenuOpen) {
            Event e;
            e.kind = Event::Kind::SystemMenuOpened;
            e.window = w.handle;
            e.caption = w.caption;
            e.captionA = text::utf16_to_cp932(w.caption);
            e.menu = w.systemMenu;
            const bool repeated = !m_transcript.empty() && m_transcript.back().kind == Event::Kind::SystemMenuOpened &&
                                  m_transcript.back().window == w.handle;
            if (!repeated)
                m_transcript.push_back(std::move(e));
        }
    }
}

void ScriptedFrontEnd::draw_icon(HWND window, int x, int y, HICON icon)
{
    Event e;
    e.kind = Event::Kind::IconDrawn;
    e.window = window;
    e.x = x;
    e.y = y;
    e.icon = icon;
    m_transcript.push_back(std::move(e));
}

void ScriptedFrontEnd::fail(HWND active, const ScreenView& screen, const std::string& why) const
{
    const WindowView* w = find_window(screen, active);
    std::fprintf(stderr, "Scripted front end: %s (waiting window: \"%s\"%s%s)\n", why.c_str(),
                 w ? text::utf16_to_utf8(w->caption).c_str() : "?", w && w->messageBox ? ", message box: " : "",
                 w && w->messageBox ? text::utf16_to_utf8(w->messageBox->text).c_str() : "");
    std::fflush(stderr);
    std::abort();
}

Input ScriptedFrontEnd::next_input(HWND active, const ScreenView& screen)
{
    while (true) {
        if (m_actions.empty())
            fail(active, screen, "a modal loop waits for input but the script has no actions left");
        Action action = std::move(m_actions.front());
        m_actions.pop_front();
        if (auto* check = std::get_if<std::function<void(HWND)>>(&action)) {
            (*check)(active);
            continue;
        }
        const WindowView* window = find_window(screen, active);
        if (!window)
            fail(active, screen, "the waiting window is not on the screen");
        if (auto* answer = std::get_if<Answer>(&action)) {
            if (!window->messageBox)
                fail(active, screen, "a message box answer is due but the waiting window is no message box");
            if (!find_control(*window, answer->result))
                fail(active, screen, "the message box has no button " + std::to_string(answer->result));
            Input in;
            in.kind = Input::Kind::Click;
            in.controlId = answer->result;
            return in;
        }
        if (std::holds_alternative<MoveBy>(action))
            fail(active, screen, "a move is due but no window is being moved");
        Input in = std::get<Input>(action);
        if (in.kind == Input::Kind::Click) {
            const ControlView* control = find_control(*window, in.controlId);
            if (!control)
                fail(active, screen, "no control " + std::to_string(in.controlId) + " to click");
        }
        if (in.kind == Input::Kind::ChooseSystemMenu && !window->systemMenuOpen)
            fail(active, screen, "a system-menu item is chosen but the menu is not open");
        return in;
    }
}

std::optional<POINT> ScriptedFrontEnd::track_move(HWND window, const ScreenView& screen)
{
    m_lastScreen = screen;
    const WindowView* moved = find_window(screen, window);
    if (!moved)
        fail(window, screen, "the window to move is not on the screen");
    POINT place{moved->rect.left, moved->rect.top};
    // A move the script did not plan (it queued no move_by) is put back at
    // once, so that a script for a program that sends SC_MOVE itself goes on as written.
    if (m_actions.empty() || !std::holds_alternative<MoveBy>(m_actions.front()))
        return std::nullopt;
    while (true) {
        if (m_actions.empty())
            fail(window, screen, "a window is being moved but the script has no actions left");
        Action action = std::move(m_actions.front());
        m_actions.pop_front();
        if (auto* check = std::get_if<std::function<void(HWND)>>(&action)) {
            (*check)(window);
            continue;
        }
        if (auto* step = std::get_if<MoveBy>(&action)) {
            place.x += step->dx;
            place.y += step->dy;
            continue;
        }
        const Input* in = std::get_if<Input>(&action);
        if (in && in->kind == Input::Kind::Key && in->key == Key::Enter)
            return place;
        if (in && in->kind == Input::Kind::Key && in->key == Key::Escape)
            return std::nullopt;
        fail(window, screen, "a window is being moved: only move_by, Enter and Esc are taken");
    }
}

}  // namespace platform::frontend::scripted
