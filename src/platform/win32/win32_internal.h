// win32_internal.h -- what the Windows backend's files share. Never included
// outside src/platform/win32.
#pragma once

#include <windows.h>

#include "platform/platform_internal.h"

// The native window behind a registry id, null when none.
HWND win32Native(PlatformWindow window);
