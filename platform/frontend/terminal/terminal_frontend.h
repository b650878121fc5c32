#pragma once
// The terminal front end: shows the windows in a text terminal through
// ncursesw and reads the keyboard and the mouse. One character cell is one
// front-end unit, four dialog units wide and eight high.

#include "platform/frontend/frontend.h"

#include <memory>
#include <string>

namespace platform::frontend::terminal {

// True when standard input and standard output are both a terminal.
bool terminal_attached();

// Starts the terminal front end on the process's terminal. Returns null and
// sets *error when there is no usable terminal (not attached, no UTF-8
// locale, unset or unknown TERM) to a message for the person, one or more
// lines without the last newline, saying what is wrong and what to do; the
// terminal is then left untouched. The screen is
// taken over when the first window is shown, and given back (endwin) when
// the object is destroyed, when the process exits, or on a fatal signal.
std::unique_ptr<FrontEnd> open_terminal_frontend(std::string* error);

}  // namespace platform::frontend::terminal
