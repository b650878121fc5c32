#pragma once
// The Win32 window, message, menu, message box and painting functions.

#include "platform/win32/types.h"
