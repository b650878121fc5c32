#pragma once
// The Reg* functions of the Win32 API on the machine's HKEY_LOCAL_MACHINE.

#include "platform/win32/types.h"
