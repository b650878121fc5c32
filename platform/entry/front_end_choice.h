#pragma once
// Which front end shows the program's windows when it runs for a person.

#include "platform/frontend/frontend.h"

#include <memory>

namespace platform::entry {

// The interactive front end available here, or null when there is none; the
// reason and what to do about it are then written to standard error, and the
// program ends without adding to them.
std::unique_ptr<frontend::FrontEnd> choose_front_end();

}  // namespace platform::entry
