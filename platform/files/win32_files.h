#pragma once
// The Win32 file functions on the machine's drives.

#include "platform/win32/types.h"
