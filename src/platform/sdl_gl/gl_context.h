// gl_context.h -- the SDL window and GL context steps that both SDL backends
// (sdl/ and offline/) share: the GL attributes asked for, the display
// window's SDL window, and GLimp_GetDc to GLimp_HasCurrentContext (in
// gl_context.cpp). SDL stays inside src/platform.
#pragma once

#include <SDL2/SDL.h>

#include "platform/platform.h"

// Attributes every GL window asks for: double-buffered RGB (at least 5-6-5;
// the largest visual is preferred), a 16-bit depth buffer, a compatibility
// (immediate-mode) context.
void sdlSetGlAttributes();
// A destroyed display window is hidden, not freed: the GL context may still
// be current on it for the rest of the frame. SDL frees it at exit.
void sdlRetireWindow(struct SysWindow *entry);
// The SDL window of a platform window (null when none).
SDL_Window *sdlWindowOf(PlatformWindow window);
// A new SDL window for GL drawing (flags besides SDL_WINDOW_OPENGL), entered
// in the registry as a display window of windowClass. 0, said on stderr, on
// failure.
PlatformWindow sdlNewDisplayWindow(const PlatformWindowClass *windowClass, const char *caption, int x, int y, int w,
                                   int h, Uint32 flags);
