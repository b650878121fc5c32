#include "platform/frontend/terminal/terminal_frontend.h"

#include "platform/frontend/terminal/canvas.h"
#include "platform/frontend/terminal/escape_sequence.h"
#include "platform/frontend/terminal/painter.h"
#include "platform/frontend/terminal/text_layout.h"

#include <curses.h>
#include <term.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

namespace platform::frontend::terminal {

namespace {

constexpr int kEscapeDelayMs = 25;       // Esc alone against Esc starting Alt+key
constexpr int kAltFollowerWaitMs = 50;   // how long a key after Esc counts as Alt+key
constexpr int kMaxFailedReads = 100;     // the terminal is gone after this many failed reads
constexpr wint_t kEscape = 27;
// Alt+F4, which the system menu offers for Close. Terminals of the xterm
// kind send it as their 52nd function key (F1-F12 with Alt are F49-F60).
constexpr wint_t kAltF4 = KEY_F(52);
constexpr int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The screen the process's terminal shows. The exit and signal handlers must
// reach it to give the terminal back however the process ends, so it is the
// one piece of state kept outside the front-end object.
SCREEN* g_screen = nullptr;

void restore_terminal()
{
    if (g_screen != nullptr) {
        set_term(g_screen);
        if (!isendwin()) {
            endwin();
        }
    }
}

void on_fatal_signal(int signalNumber)
{
    restore_terminal();
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

enum ColourPair : short {
    kPairDesktop = 1,
    kPairFace,
    kPairTitle,
    kPairTitleInactive,
    kPairMenuSelected,
    kPairEmblem,
    kPairStop,
    kPairQuestion,
};

Input key_input(Key key)
{
    Input input;
    input.kind = Input::Kind::Key;
    input.key = key;
    return input;
}

Input kind_input(Input::Kind kind)
{
    Input input;
    input.kind = kind;
    return input;
}

class TerminalFrontEnd final : public FrontEnd {
public:
    explicit TerminalFrontEnd(SCREEN* screen);
    ~TerminalFrontEnd() override;
    TerminalFrontEnd(const TerminalFrontEnd&) = delete;
    TerminalFrontEnd& operator=(const TerminalFrontEnd&) = delete;

    BaseUnits base_units(const FontRequest&) override
    {
        // A dialog unit is a quarter of a cell across and an eighth down.
        return {1, 1};
    }

    SIZE screen_size() override
    {
        // Every window is laid out on one screen, the terminal as it was when
        // the first window was centred; paint() maps that screen onto the
        // terminal as it is now. A size that followed each resize would put
        // windows laid out before and after it in different places.
        if (layoutSize_.cx <= 0 || layoutSize_.cy <= 0) {
            layoutSize_ = {COLS, LINES};
        }
        return layoutSize_;
    }

    void show(const ScreenView& screen) override
    {
        screen_ = screen;
        sync_state();
        paint();
    }

    void draw_icon(HWND window, int x, int y, HICON) override
    {
        state_.icons[window] = {POINT{x, y}};
    }

    Input next_input(HWND active, const ScreenView& screen) override;
    std::optional<POINT> track_move(HWND window, const ScreenView& screen) override;

private:
    void init_colours();
    void sync_state();
    void paint();
    attr_t attributes(CellStyle style, short* pair) const;
    std::optional<Input> from_key(HWND active, wint_t ch, bool alt);
    std::optional<Input> from_function_key(HWND active, wint_t key);
    std::optional<Input> from_mouse(HWND active);
    std::optional<Input> from_click(HWND active, int x, int y);
    std::optional<Input> after_escape(HWND active);
    std::optional<Input> menu_choice(const WindowView& window, int index);
    std::optional<wint_t> read_key(bool* functionKey);
    bool escape_alone();
    [[noreturn]] void input_lost();

    SCREEN* screenHandle_;
    ScreenView screen_;
    PaintState state_;
    SIZE layoutSize_{0, 0};
    HWND menuOwner_ = nullptr;
    bool tooSmall_ = false;
    bool colours_ = false;
    int failedReads_ = 0;
    struct sigaction previous_[std::size(kFatalSignals)]{};
};

TerminalFrontEnd::TerminalFrontEnd(SCREEN* screen) : screenHandle_(screen)
{
    g_screen = screen;
    static bool exitHandlerRegistered = false;
    if (!exitHandlerRegistered) {
        std::atexit(restore_terminal);
        exitHandlerRegistered = true;
    }
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        struct sigaction action {};
        action.sa_handler = on_fatal_signal;
        sigemptyset(&action.sa_mask);
        sigaction(kFatalSignals[i], &action, &previous_[i]);
    }
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    set_escdelay(kEscapeDelayMs);
    curs_set(0);
    mousemask(BUTTON1_PRESSED | BUTTON1_CLICKED, nullptr);
    mouseinterval(0);
    init_colours();
}

TerminalFrontEnd::~TerminalFrontEnd()
{
    restore_terminal();
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        sigaction(kFatalSignals[i], &previous_[i], nullptr);
    }
    g_screen = nullptr;
    delscreen(screenHandle_);
}

void TerminalFrontEnd::init_colours()
{
    if (!has_colors() || start_color() == ERR || COLOR_PAIRS <= kPairQuestion) {
        return;
    }
    colours_ = true;
    // The classic look: grey dialogs with a blue title bar on a teal desktop.
    init_pair(kPairDesktop, COLOR_BLACK, COLOR_CYAN);
    init_pair(kPairFace, COLOR_BLACK, COLOR_WHITE);
    init_pair(kPairTitle, COLOR_WHITE, COLOR_BLUE);
    init_pair(kPairTitleInactive, COLOR_WHITE, COLOR_BLACK);
    init_pair(kPairMenuSelected, COLOR_WHITE, COLOR_BLUE);
    init_pair(kPairEmblem, COLOR_BLUE, COLOR_WHITE);
    init_pair(kPairStop, COLOR_RED, COLOR_WHITE);
    init_pair(kPairQuestion, COLOR_BLUE, COLOR_WHITE);
}

attr_t TerminalFrontEnd::attributes(CellStyle style, short* pair) const
{
    attr_t attrs = A_NORMAL;
    *pair = 0;
    switch (style.paint) {
    case Paint::Desktop: *pair = kPairDesktop; break;
    case Paint::Face:
    case Paint::Menu: *pair = kPairFace; break;
    case Paint::Title:
        *pair = kPairTitle;
        if (!colours_) {
            attrs |= A_REVERSE;
        }
        break;
    case Paint::TitleInactive: *pair = kPairTitleInactive; break;
    case Paint::MenuSelected:
        *pair = kPairMenuSelected;
        if (!colours_) {
            attrs |= A_REVERSE;
        }
        break;
    case Paint::Emblem: *pair = kPairEmblem; break;
    case Paint::StopIcon: *pair = kPairStop; break;
    case Paint::QuestionIcon: *pair = kPairQuestion; break;
    }
    if (!colours_) {
        *pair = 0;
    }
    if (style.flags & kReverse) {
        attrs ^= A_REVERSE;
    }
    if (style.flags & kUnderline) {
        attrs |= A_UNDERLINE;
    }
    if (style.flags & kBold) {
        attrs |= A_BOLD;
    }
    if (style.flags & kDim) {
        attrs |= A_DIM;
        attrs &= ~A_BOLD;
    }
    return attrs;
}

void TerminalFrontEnd::sync_state()
{
    // Icons belong to a minimised window's picture only.
    for (auto it = state_.icons.begin(); it != state_.icons.end();) {
        const WindowView* window = find_window(screen_, it->first);
        it = (window == nullptr || !window->iconic) ? state_.icons.erase(it) : std::next(it);
    }
    const WindowView* owner = nullptr;
    for (const WindowView& window : screen_.windows) {
        if (window.visible && window.systemMenuOpen) {
            owner = &window;
        }
    }
    if (owner == nullptr) {
        menuOwner_ = nullptr;
        state_.menuSelection = -1;
    } else if (owner->handle != menuOwner_) {
        // A menu that has just opened highlights its first item.
        menuOwner_ = owner->handle;
        state_.menuSelection = next_menu_item(*owner, -1, 1);
    }
}

void TerminalFrontEnd::paint()
{
    int cols = COLS;
    int rows = LINES;
    Canvas canvas(cols, rows);
    Area needed = needed_area(screen_, layoutSize_);
    tooSmall_ = !place_on_terminal(needed, layoutSize_, cols, rows, state_);
    if (tooSmall_) {
        paint_too_small(canvas, needed.right - needed.left, needed.bottom - needed.top);
    } else {
        paint_screen(screen_, state_, canvas);
    }
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < cols; ++x) {
            const Cell& cell = canvas.at(x, y);
            if (cell.continuation) {
                continue;
            }
            short pair = 0;
            attr_t attrs = attributes(cell.style, &pair);
            wchar_t text[2] = {cell.ch, L'\0'};
            cchar_t cc;
            setcchar(&cc, text, attrs, pair, nullptr);
            mvadd_wch(y, x, &cc);
        }
    }
    refresh();
}

std::optional<Input> TerminalFrontEnd::menu_choice(const WindowView& window, int index)
{
    if (index < 0 || index >= static_cast<int>(window.systemMenu.size())) {
        return std::nullopt;
    }
    Input input = kind_input(Input::Kind::ChooseSystemMenu);
    input.command = window.systemMenu[index].id;
    return input;
}

std::optional<Input> TerminalFrontEnd::from_key(HWND active, wint_t ch, bool alt)
{
    const WindowView* window = find_window(screen_, active);
    bool menuOpen = window != nullptr && window->systemMenuOpen;
    if (alt && ch == L' ') {
        return kind_input(menuOpen ? Input::Kind::CloseSystemMenu : Input::Kind::OpenSystemMenu);
    }
    if (menuOpen) {
        if (ch == L'\r' || ch == L'\n') {
            return menu_choice(*window, state_.menuSelection);
        }
        if (ch == kEscape) {
            return kind_input(Input::Kind::CloseSystemMenu);
        }
        if (std::iswalnum(ch)) {
            if (auto index = menu_item_for_access_key(*window, static_cast<wchar_t>(ch))) {
                return menu_choice(*window, *index);
            }
        }
        return std::nullopt;
    }
    switch (ch) {
    case L'\t': return key_input(Key::Tab);
    case L'\r':
    case L'\n': return key_input(Key::Enter);
    case kEscape: return key_input(Key::Escape);
    case L' ': return key_input(Key::Space);
    default: break;
    }
    if (window != nullptr && std::iswalnum(ch)) {
        if (auto id = control_for_access_key(*window, static_cast<wchar_t>(ch))) {
            Input input = kind_input(Input::Kind::Click);
            input.controlId = *id;
            return input;
        }
    }
    return std::nullopt;
}

std::optional<Input> TerminalFrontEnd::from_function_key(HWND active, wint_t key)
{
    const WindowView* window = find_window(screen_, active);
    bool menuOpen = window != nullptr && window->systemMenuOpen;
    switch (key) {
    case KEY_BTAB: return menuOpen ? std::nullopt : std::optional(key_input(Key::ShiftTab));
    case KEY_ENTER: return from_key(active, L'\r', false);
    case KEY_F(10): return kind_input(menuOpen ? Input::Kind::CloseSystemMenu : Input::Kind::OpenSystemMenu);
    case kAltF4: return menuOpen ? std::nullopt : std::optional(kind_input(Input::Kind::CloseBox));
    case KEY_MOUSE: return from_mouse(active);
    case KEY_UP:
    case KEY_DOWN:
    case KEY_HOME:
    case KEY_END:
        if (menuOpen) {
            int count = static_cast<int>(window->systemMenu.size());
            if (key == KEY_UP || key == KEY_DOWN) {
                state_.menuSelection = next_menu_item(*window, state_.menuSelection, key == KEY_UP ? -1 : 1);
            } else {
                state_.menuSelection = next_menu_item(*window, key == KEY_HOME ? -1 : count, key == KEY_HOME ? 1 : -1);
            }
        }
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<Input> TerminalFrontEnd::from_mouse(HWND active)
{
    MEVENT event{};
    if (getmouse(&event) != OK || (event.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED)) == 0) {
        return std::nullopt;
    }
    return from_click(active, event.x, event.y);
}

std::optional<Input> TerminalFrontEnd::from_click(HWND active, int x, int y)
{
    Hit hit = hit_test(screen_, state_, active, x, y);
    switch (hit.kind) {
    case Hit::Kind::SystemMenuMarker: return kind_input(Input::Kind::OpenSystemMenu);
    case Hit::Kind::CloseBox: return kind_input(Input::Kind::CloseBox);
    case Hit::Kind::OutsideMenu: return kind_input(Input::Kind::CloseSystemMenu);
    case Hit::Kind::MenuItem: return menu_choice(*find_window(screen_, active), hit.menuIndex);
    case Hit::Kind::Control: {
        Input input = kind_input(Input::Kind::Click);
        input.controlId = hit.controlId;
        return input;
    }
    case Hit::Kind::Nothing: break;
    }
    return std::nullopt;
}

void TerminalFrontEnd::input_lost()
{
    restore_terminal();
    std::fprintf(stderr, "%s: the terminal gives no more input; ending.\n", program_invocation_short_name);
    std::exit(EXIT_FAILURE);
}

// What follows an Esc at once, within the wait for Alt+key: a key, or a
// control sequence that curses did not decode, read to its end.
struct AfterEscape {
    int follower = ERR;  // OK, KEY_CODE_YES, or ERR when nothing followed
    wint_t next = 0;
    std::optional<EscapeSequence> sequence;  // when next began a sequence
};

AfterEscape read_after_escape()
{
    AfterEscape after;
    // The wait also bounds the bytes of a sequence, so that Alt+[ typed
    // alone is not held up waiting for the rest of one.
    wtimeout(stdscr, kAltFollowerWaitMs);
    after.follower = wget_wch(stdscr, &after.next);
    if (after.follower == OK && (after.next == L'[' || after.next == L'O')) {
        after.sequence = read_escape_sequence(static_cast<wchar_t>(after.next), [] {
            int byte = wgetch(stdscr);
            return byte == ERR || byte > 0xFF ? -1 : byte;
        });
    }
    wtimeout(stdscr, -1);
    return after;
}

std::optional<Input> TerminalFrontEnd::after_escape(HWND active)
{
    // Alt+key arrives as Esc followed at once by the key.
    const AfterEscape after = read_after_escape();
    if (after.sequence) {
        // Dropped, unless it is Alt+[ or Alt+O, or a first-button click in
        // the X10 format.
        if (after.sequence->kind == EscapeSequence::Kind::AltKey) {
            return from_key(active, after.next, true);
        }
        if (after.sequence->kind == EscapeSequence::Kind::X10Mouse &&
            x10_first_button_pressed(after.sequence->buttonCode)) {
            return from_click(active, after.sequence->x, after.sequence->y);
        }
        return std::nullopt;
    }
    if (after.follower == OK && after.next != kEscape) {
        return from_key(active, after.next, true);
    }
    if (after.follower == KEY_CODE_YES && after.next == KEY_F(4)) {
        return from_function_key(active, kAltF4);  // terminals that send Alt as a leading Esc
    }
    if (after.follower == KEY_CODE_YES) {
        ungetch(static_cast<int>(after.next));
    } else if (after.follower == OK) {
        unget_wch(static_cast<wchar_t>(after.next));
    }
    return from_key(active, kEscape, false);
}

std::optional<wint_t> TerminalFrontEnd::read_key(bool* functionKey)
{
    wint_t ch = 0;
    int result = wget_wch(stdscr, &ch);
    if (result == ERR) {
        if (errno != EINTR && ++failedReads_ >= kMaxFailedReads) {
            input_lost();
        }
        return std::nullopt;
    }
    failedReads_ = 0;
    *functionKey = result == KEY_CODE_YES;
    return ch;
}

Input TerminalFrontEnd::next_input(HWND active, const ScreenView& screen)
{
    screen_ = screen;
    for (;;) {
        sync_state();
        paint();
        bool functionKey = false;
        std::optional<wint_t> ch = read_key(&functionKey);
        if (!ch || (functionKey && *ch == KEY_RESIZE)) {
            continue;
        }
        if (tooSmall_) {
            continue;  // nothing can be worked that cannot be seen
        }
        std::optional<Input> input;
        if (functionKey) {
            input = from_function_key(active, *ch);
        } else if (*ch == kEscape) {
            input = after_escape(active);
        } else {
            input = from_key(active, *ch, false);
        }
        if (input) {
            return *input;
        }
    }
}

bool TerminalFrontEnd::escape_alone()
{
    // As in after_escape, Esc with something right behind it is Alt+key or
    // a sequence. A sequence (a click, say) is dropped; Alt+key ends the
    // move like Esc and is then taken as usual, so Alt+Space still opens the
    // menu and Esc typed just before a letter still reaches the dialog.
    const AfterEscape after = read_after_escape();
    if (after.sequence) {
        return false;
    }
    // What is given back is read again in reverse order: the key, then the Esc before it.
    if (after.follower == OK) {
        unget_wch(static_cast<wchar_t>(after.next));
        if (after.next != kEscape) {
            unget_wch(static_cast<wchar_t>(kEscape));
        }
    } else if (after.follower == KEY_CODE_YES) {
        ungetch(static_cast<int>(after.next));
        if (after.next == KEY_F(4)) {
            unget_wch(static_cast<wchar_t>(kEscape));  // Alt+F4 from a terminal that sends Alt as Esc
        }
    }
    return true;
}

std::optional<POINT> TerminalFrontEnd::track_move(HWND window, const ScreenView& screen)
{
    const WindowView* found = find_window(screen, window);
    if (found == nullptr) {
        return std::nullopt;
    }
    const WindowView original = *found;
    POINT place{original.rect.left, original.rect.top};
    // The key line says how to move while the window is moved, whichever way the move ends.
    struct MoveMode {
        PaintState& state;
        explicit MoveMode(PaintState& s) : state(s) { state.moving = true; }
        ~MoveMode() { state.moving = false; }
    } mode(state_);
    for (;;) {
        // The window is drawn where it would go; the window manager moves it
        // only when it is placed.
        screen_ = screen;
        for (WindowView& shown : screen_.windows) {
            if (shown.handle == window) {
                shown = moved_to(original, place);
            }
        }
        sync_state();
        paint();
        bool functionKey = false;
        std::optional<wint_t> ch = read_key(&functionKey);
        if (!ch || tooSmall_) {
            continue;
        }
        if (functionKey) {
            int dx = 0;
            int dy = 0;
            switch (*ch) {
            case KEY_LEFT: dx = -1; break;
            case KEY_RIGHT: dx = 1; break;
            case KEY_UP: dy = -1; break;
            case KEY_DOWN: dy = 1; break;
            case KEY_ENTER: return place;
            case KEY_MOUSE: {
                MEVENT event{};
                getmouse(&event);  // taken and dropped: the move is made with the keys
                break;
            }
            default: break;
            }
            place = allowed_move(original, {place.x + dx, place.y + dy}, state_.layout);
        } else if (*ch == L'\r' || *ch == L'\n') {
            return place;
        } else if (*ch == kEscape && escape_alone()) {
            return std::nullopt;
        }
    }
}

}  // namespace

bool terminal_attached()
{
    return isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
}

std::unique_ptr<FrontEnd> open_terminal_frontend(std::string* error)
{
    auto fail = [error](std::string why) {
        if (error != nullptr) {
            *error = std::move(why);
        }
        return nullptr;
    };
    const bool input = isatty(STDIN_FILENO) == 1;
    const bool output = isatty(STDOUT_FILENO) == 1;
    if (!input || !output) {
        const char* which = !input && !output ? "its standard input and output are not"
                            : !input          ? "its standard input is not"
                                              : "its standard output is not";
        return fail(std::string("This program shows its dialogs in a terminal, but ") + which +
                    " a terminal.\nRun it in a terminal window, without redirecting its input or output.");
    }
    if (g_screen != nullptr) {
        return fail("The terminal is already in use by another front end of this program.");
    }
    if (!use_utf8_locale()) {
        return fail("No UTF-8 locale is available, and the dialogs' Japanese texts need one.\n"
                    "Install the locale C.UTF-8 (or another UTF-8 locale), set LANG to it, and run the program "
                    "again.");
    }
    const char* term = std::getenv("TERM");
    if (term == nullptr || *term == '\0') {
        return fail("The variable TERM is not set, so the kind of terminal is unknown.\n"
                    "Set TERM to the terminal's type (for example TERM=xterm-256color) and run the program again.");
    }
    // The type is looked up on its own first: newterm() keeps memory it never
    // gives back when the type is unknown.
    int lookup = 0;
    const bool known = setupterm(term, STDOUT_FILENO, &lookup) == OK;
    if (known) {
        del_curterm(cur_term);
    }
    SCREEN* screen = known ? newterm(nullptr, stdout, stdin) : nullptr;
    if (screen == nullptr) {
        return fail(std::string("The terminal type \"") + term + "\" named by TERM is unknown here.\n" +
                    "Set TERM to a type this system knows (for example TERM=xterm-256color), or install the "
                    "description of this one (the package ncurses-term has many), and run the program again.");
    }
    set_term(screen);
    return std::make_unique<TerminalFrontEnd>(screen);
}

}  // namespace platform::frontend::terminal
