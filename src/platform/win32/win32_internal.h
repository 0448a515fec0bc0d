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
// display.cpp: for the display window, after the display mode changed
// (modeChange) or the window moved (perhaps to another monitor), reads the
// refresh again and asks for the swap interval it calls for.
void win32FollowDisplay(HWND hwnd, bool modeChange);
