// sdl_internal.h -- what the live backend's files share. Never included
// outside src/platform/sdl.
#pragma once

#include "platform/platform_internal.h"
#include "platform/sdl_gl/gl_context.h"

// options_fltk.cpp: the options window's toolkit.
void fltkPump();
void fltkWait(double seconds);  // until an event comes or the time is up
PlatformWindow fltkFocusWindow();
void fltkDestroyNative(SysWindow *entry);
void fltkSetCheck(SysWindow *entry);

// display.cpp: reads the display window's refresh again and asks for the
// swap interval it calls for (its display or its mode may have changed).
void sdlFollowDisplay();

// windows.cpp: the one line saying no display could be opened (said once).
void liveReportNoDisplay(const char *why);
