// display.cpp -- the live backend's display on SDL2: the full-screen mode
// switch, the swap interval asked of the display's refresh, and the present,
// held to at most 60 frames per second by the shared pacer.
#include <SDL2/SDL_opengl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/pacer.h"
#include "platform/sdl/sdl_internal.h"

namespace {

// Owned by GLimp_SwapBuffers: the pacer and the interval it was started for.
Pacer pacer;
int pacedInterval = -2;
int swapIntervalAsked = -1;  // owned by GLimp_SetSwapInterval; -1 until the show asks
// Owned by logPresent: when KAVELD_PRESENT_LOG names a file, every present
// goes there as one line of two times (seconds on the monotonic clock): when
// the frame was handed to the display, and when the swap returned.
FILE *presentLog = nullptr;
bool presentLogChecked = false;

void logPresent(double handedOver) {
    if (!presentLogChecked) {
        presentLogChecked = true;
        const char *path = std::getenv("KAVELD_PRESENT_LOG");
        if (path && *path && (presentLog = std::fopen(path, "w"))) setvbuf(presentLog, nullptr, _IOLBF, 0);
    }
    if (presentLog) std::fprintf(presentLog, "%.6f %.6f\n", handedOver, pacerSystemClock().now(nullptr));
}

}  // namespace

bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int h, int) {
    SDL_Window *native = sdlWindowOf(window);
    if (w == 0) {  // back to the desktop mode
        if (native && (SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN)) SDL_SetWindowFullscreen(native, 0);
        return true;
    }
    if (sysShouldFail("ChangeDisplayMode") || !native) return false;
    int display = SDL_GetWindowDisplayIndex(native);
    for (int i = 0; i < SDL_GetNumDisplayModes(display); i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) != 0 || mode.w != w || mode.h != h) continue;
        if (SDL_SetWindowDisplayMode(native, &mode) == 0 && SDL_SetWindowFullscreen(native, SDL_WINDOW_FULLSCREEN) == 0)
            return true;
        break;
    }
    Sys_ReportFailure("the display cannot show %dx%d", w, h);
    return false;
}

// At most 60 presents a second, whatever the display and driver do (see
// pacer.h); unpaced only when the show asked for interval 0. While paced on
// the clock, the frame is rendered before the wait: a software GL renders at
// the swap, and the frame's drawing time would otherwise land after its
// deadline.
void GLimp_SwapBuffers(PlatformDc dc) {
    SDL_Window *native = sdlWindowOf((PlatformWindow)dc);
    if (!native) return;
    int interval = swapIntervalAsked;
    if (interval != pacedInterval) {
        pacerStart(&pacer, pacerSystemClock());
        pacedInterval = interval;
    }
    if (interval != 0 && pacer.pacing) glFinish();
    if (interval != 0) pacerBeforePresent(&pacer);
    double handedOver = pacerSystemClock().now(nullptr);
    SDL_GL_SwapWindow(native);
    if (interval != 0) pacerAfterPresent(&pacer);
    logPresent(handedOver);
}

// Waiting for the refresh asks for the whole multiple of 60 Hz that the
// window's display refreshes at (2 at 120 Hz), so that presents come 60 a
// second where the driver honours it.
void GLimp_SetSwapInterval(int interval) {
    if (!GLimp_HasCurrentContext()) return;
    swapIntervalAsked = interval;
    SDL_Window *window = SDL_GL_GetCurrentWindow();
    SDL_DisplayMode mode;
    double refreshHz = 0;
    if (window && SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &mode) == 0)
        refreshHz = mode.refresh_rate;
    SDL_GL_SetSwapInterval(interval > 0 ? interval * pacerSwapInterval(refreshHz) : 0);
}
