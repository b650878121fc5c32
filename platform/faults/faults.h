#pragma once
// Fault injection for tests: a named platform call ("RegCloseKey",
// "FindFirstFileA", ...) can be made to fail once or every time. Each call
// that supports it asks should_fail() with its own name before doing its work.

#include <string_view>

namespace platform::faults {

enum class Mode { once, always };

// Makes the call of that name fail: on its next call only, or on every call.
void inject(std::string_view callName, Mode mode);

// Forgets every injected fault.
void clear();

// True when the named call must fail now; consumes a fault injected once.
bool should_fail(std::string_view callName);

}  // namespace platform::faults
