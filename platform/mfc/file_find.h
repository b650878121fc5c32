#pragma once
// CFileFind: the class library's listing of a folder.

#include "platform/win32/types.h"
