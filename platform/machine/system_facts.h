#pragma once
// The machine's Windows directory and special folders, as its registry names
// them, with Wine's defaults where it does not. Paths are Windows paths
// without a trailing backslash.

#include <optional>
#include <string>
#include <string_view>

namespace platform::machine {

// "SystemRoot" of Software\Microsoft\Windows NT\CurrentVersion, else of
// Software\Microsoft\Windows\CurrentVersion, else C:\windows.
std::u16string windows_directory();

// The common Start menu: "Common Start Menu" of ...\Explorer\Shell Folders,
// else that of ...\Explorer\User Shell Folders with its %VARIABLES%
// expanded, else C:\ProgramData\Microsoft\Windows\Start Menu.
std::u16string common_start_menu();

// A text with %NAME% variables replaced by the machine's values (SystemRoot,
// windir, SystemDrive, ProgramData, ALLUSERSPROFILE, PUBLIC, and whatever
// the machine's Environment key holds); nothing when a variable is unknown.
std::optional<std::u16string> expand_machine_variables(std::u16string_view text);

// The folder of a machine-wide CSIDL, or nothing for a CSIDL not known here.
std::optional<std::u16string> special_folder(int csidl);

}  // namespace platform::machine
