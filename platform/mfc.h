#pragma once
// The class library: strings, windows and dialogs, the application, file
// listings. Includes the Win32 API, as the class library's headers do.

#include "platform/win32.h"
#include "platform/crt.h"
#include "platform/mfc/string.h"
#include "platform/mfc/window.h"
#include "platform/mfc/file_find.h"
