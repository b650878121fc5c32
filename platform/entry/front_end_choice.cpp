#include "platform/entry/front_end_choice.h"

namespace platform::entry {

std::unique_ptr<frontend::FrontEnd> choose_front_end()
{
    // FIXME: the terminal front end (when standard input and output are a
    // terminal) and the X11 one are chosen here once they exist. The scripted
    // front end is for the tests only and is never chosen for a person.
    return nullptr;
}

}  // namespace platform::entry
