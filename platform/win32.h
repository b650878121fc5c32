#pragma once
// The Win32 API as the system sees it: types, the registry, files, windows,
// resources and the machine's facts. Every string is code page 932.

#include "platform/win32/types.h"
#include "platform/win32/last_error.h"
#include "platform/registry/win32_registry.h"
#include "platform/files/win32_files.h"
#include "platform/resources/win32_resources.h"
#include "platform/windows/win32_windows.h"
#include "platform/machine/win32_system.h"
