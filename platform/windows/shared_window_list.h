#pragma once
// The top-level windows of every process that runs on the same machine, so
// that FindWindowA sees the windows of other programs, as on Windows.
//
// Each process keeps a list of its top-level windows (handle, class name,
// title as given at creation) in a folder of its own user below /tmp, keyed
// by the machine folder's device and inode, so that the machine folder (a
// Wine prefix is the user's) is not touched. Beside the list the process
// holds a lock file for as long as it lives; a list whose lock nobody holds
// belongs to a process that has ended, however it ended, and is ignored.

#include "platform/win32/types.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace platform::windows::shared {

// Adds a top-level window of this process to the machine's list.
void publish(HWND handle, std::u16string_view className, std::u16string_view title);

// Takes a window of this process off the list; unknown handles are ignored.
void withdraw(HWND handle);

// A top-level window of another living process on this machine with that
// class (ASCII case ignored; any class when empty) and, unless null, that
// title; null when there is none. The handle stands for the window in this
// process: it is never one of this process's own handles, and it stays the
// same for the same window.
HWND find_in_other_processes(std::u16string_view className, const std::u16string* title);

// The folder that holds the lists of the current machine (for tests).
std::filesystem::path list_folder();

}  // namespace platform::windows::shared
