#pragma once
// Which machine the program runs on: a folder laid out like a Wine prefix,
// named by WINEPREFIX, else ~/.wine, as Wine chooses it.

#include <filesystem>

namespace platform::machine {

// The machine folder, as an absolute path (trailing slashes dropped). It is
// chosen once, on first use; it may not exist (then the machine is empty).
const std::filesystem::path& folder();

// The machine's system.reg (HKEY_LOCAL_MACHINE).
std::filesystem::path system_reg_path();

// The machine's dosdevices folder of drive links.
std::filesystem::path dosdevices_path();

// Forgets the machine chosen so far, so that the next use reads WINEPREFIX
// again. Every module that keeps state about the machine compares
// generation() with the one it saw and starts afresh when it changed.
void reopen();
unsigned generation();

}  // namespace platform::machine
