#pragma once
// The C run-time's directory and file functions on the machine's drives.

#include "platform/win32/types.h"
