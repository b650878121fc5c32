#pragma once
// Control sequences that curses left undecoded. A terminal may send a
// sequence that the terminal description does not name (a mouse report in
// another format than the one asked for, a key of a newer terminal); curses
// then hands over its bytes one by one: Esc, '[' and the rest. Read as keys
// they would be Alt+[ followed by Space, letters and digits, pressing buttons
// nobody pressed. This reads such a sequence to its end so that it can be
// dropped whole. Pure: the bytes come from a function, so tests can feed them.

#include <functional>

namespace platform::frontend::terminal {

struct EscapeSequence {
    enum class Kind {
        AltKey,    // nothing followed the introducer in time: Alt+[ or Alt+O typed by a person
        Ignored,   // a sequence, read to its end (or to where its bytes stopped coming)
        X10Mouse,  // a mouse report Esc [ M b x y: button code, cell column and row from 0
    };
    Kind kind = Kind::Ignored;
    int buttonCode = 0;
    int x = 0;
    int y = 0;
};

// Reads the rest of a sequence that began with Esc and `introducer` ('[' for
// a control sequence, 'O' for a single shift 3). `next` gives the next byte,
// or a negative number when none arrives within a short wait.
EscapeSequence read_escape_sequence(wchar_t introducer, const std::function<int()>& next);

// True when an X10 button code reports the first button going down (not a
// release, a move or the wheel).
bool x10_first_button_pressed(int buttonCode);

}  // namespace platform::frontend::terminal
