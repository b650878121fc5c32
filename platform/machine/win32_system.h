#pragma once
// The machine's own facts: its version, its Windows directory, its shell folders.

#include "platform/win32/types.h"
