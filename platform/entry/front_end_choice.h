#pragma once
// Which front end shows the program's windows when it runs for a person.

#include "platform/frontend/frontend.h"

#include <memory>

namespace platform::entry {

// The interactive front end available here, or null when there is none
// (then the program explains that on standard error and ends).
std::unique_ptr<frontend::FrontEnd> choose_front_end();

}  // namespace platform::entry
