#pragma once
// Resource loading from the program's compiled resources.

#include "platform/win32/types.h"
