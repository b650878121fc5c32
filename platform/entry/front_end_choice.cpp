#include "platform/entry/front_end_choice.h"

#include "platform/frontend/terminal/terminal_frontend.h"

#include <cerrno>
#include <cstdio>
#include <string>

namespace platform::entry {

std::unique_ptr<frontend::FrontEnd> choose_front_end()
{
    // The terminal when standard input and output are one. The scripted
    // front end is for the tests only and is never chosen for a person.
    std::string whyNot;
    std::unique_ptr<frontend::FrontEnd> terminal = frontend::terminal::open_terminal_frontend(&whyNot);
    if (!terminal) {
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, whyNot.c_str());
    }
    return terminal;
}

}  // namespace platform::entry
