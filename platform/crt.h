#pragma once
// The C run-time's functions that the system calls: multibyte strings of
// code page 932 and the directory and file functions.

#include "platform/text/mbstring.h"
#include "platform/files/crt_files.h"
