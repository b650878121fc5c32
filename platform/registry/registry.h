#pragma once
// The machine's HKEY_LOCAL_MACHINE for the rest of the platform: reading a
// value directly, and what tests need to shape the registry.

#include <optional>
#include <string>
#include <string_view>

namespace platform::registry {

// Which tree a path names in a 64-bit prefix: the program's own 32-bit view
// (Software\... is looked up below Software\Wow6432Node), or the native one,
// where the system's own facts live.
enum class View { wow32, native };

// The text of a REG_SZ or REG_EXPAND_SZ value of HKLM (without its NUL), or
// nothing when the key, the value or a usable registry is missing.
std::optional<std::u16string> read_machine_string(std::u16string_view keyPath, std::u16string_view valueName,
                                                  View view = View::wow32);

// For tests: marks a key (path below HKLM, 32-bit view) as one that can be
// read but not opened for writing or deleted, as a key whose permissions
// deny it on Windows. The mark lasts until the machine changes.
void set_read_only(std::u16string_view keyPath, bool readOnly = true);

}  // namespace platform::registry
