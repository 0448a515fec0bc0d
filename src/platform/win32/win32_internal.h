// win32_internal.h -- what the Windows backend's files share. Never included
// outside src/platform/win32.
#pragma once

#include <windows.h>

#include <string>

#include "platform/platform_internal.h"

// The native window behind a registry id, null when none.
HWND win32Native(PlatformWindow window);
// The platform's texts are UTF-8; Windows takes them as UTF-16.
std::wstring win32Wide(const char *utf8);
