// display.cpp -- the live backend's display on SDL2: the full-screen mode
// switch, the swap interval asked of the display's refresh (chosen again when
// the window's display or its mode changes), and the present, held to at most
// 60 frames per second by the shared pacer.
#include <SDL2/SDL_opengl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/pacer.h"
#include "platform/sdl/sdl_internal.h"

namespace {

// Owned by GLimp_SetSwapInterval, GLimp_SwapBuffers and sdlFollowDisplay: the
// pacer, the interval the show asked for (-1 until it asks) and the one
// asked of the GL (-1 before).
Pacer pacer;
bool pacerStarted = false;
int swapIntervalAsked = -1;
int glIntervalAsked = -1;
// Owned by logPresent: when KAVELD_PRESENT_LOG names a file, every present
// goes there as one line: two times (seconds on the monotonic clock), when
// the frame was handed to the display and when the swap returned, and what
// the pacer does next ("trusting" the swaps, "pacing" or "probing" them).
FILE *presentLog = nullptr;
bool presentLogChecked = false;

const char *const kStateNames[] = {"trusting", "pacing", "probing"};

void logPresent(double handedOver) {
    if (!presentLogChecked) {
        presentLogChecked = true;
        const char *path = std::getenv("KAVELD_PRESENT_LOG");
        if (path && *path && (presentLog = std::fopen(path, "w"))) setvbuf(presentLog, nullptr, _IOLBF, 0);
    }
    if (presentLog)
        std::fprintf(presentLog, "%.6f %.6f %s\n", handedOver, pacerSystemClock().now(nullptr),
                     kStateNames[pacer.state]);
}

double refreshOf(SDL_Window *window) {
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &mode) != 0) return 0;
    return mode.refresh_rate;
}

// Asks the GL for the show's interval times the whole multiple of 60 Hz that
// the window's display refreshes at (2 at 120 Hz), so that presents come 60 a
// second where the driver honours it.
void askInterval(SDL_Window *window) {
    int multiple = pacerFollowDisplay(&pacer, refreshOf(window));
    int wanted = swapIntervalAsked > 0 ? swapIntervalAsked * multiple : 0;
    if (wanted != glIntervalAsked) SDL_GL_SetSwapInterval(wanted);
    glIntervalAsked = wanted;
}

// The display's depth in the options window's terms: 24-bit colour is "32".
bool hasDepth(const SDL_DisplayMode &mode, int bpp) {
    int bits = SDL_BITSPERPIXEL(mode.format);
    return bits == bpp || (bpp == 32 && bits == 24);
}

// The modes of size w x h, of depth bpp where the display has any of that
// depth (X11 switches sizes and rates, never depths: there the GL pixel
// format takes the depth).
std::vector<SDL_DisplayMode> modesOfSize(int display, int w, int h, int bpp) {
    std::vector<SDL_DisplayMode> modes, ofDepth;
    for (int i = 0; i < SDL_GetNumDisplayModes(display); i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(display, i, &mode) != 0 || mode.w != w || mode.h != h) continue;
        modes.push_back(mode);
        if (hasDepth(mode, bpp)) ofDepth.push_back(mode);
    }
    return ofDepth.empty() ? modes : ofDepth;
}

}  // namespace

void sdlFollowDisplay() {
    SDL_Window *window = pacerStarted && GLimp_HasCurrentContext() ? SDL_GL_GetCurrentWindow() : nullptr;
    if (window) askInterval(window);
}

// Of the modes of the size (and depth), the refresh pacerChooseRefresh
// prefers. SDL puts back the desktop mode when the window leaves full screen
// and, through SDL_Quit at exit, whatever ends the program normally.
bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int h, int bpp) {
    SDL_Window *native = sdlWindowOf(window);
    if (w == 0) {  // back to the desktop mode
        if (native && (SDL_GetWindowFlags(native) & SDL_WINDOW_FULLSCREEN)) SDL_SetWindowFullscreen(native, 0);
        return true;
    }
    if (sysShouldFail("ChangeDisplayMode") || !native) return false;
    std::vector<SDL_DisplayMode> modes = modesOfSize(SDL_GetWindowDisplayIndex(native), w, h, bpp);
    std::vector<double> rates;
    for (const SDL_DisplayMode &mode : modes) rates.push_back(mode.refresh_rate);
    int chosen = pacerChooseRefresh(rates.data(), (int)rates.size());
    if (chosen >= 0 && SDL_SetWindowDisplayMode(native, &modes[chosen]) == 0 &&
        SDL_SetWindowFullscreen(native, SDL_WINDOW_FULLSCREEN) == 0)
        return true;
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
    if (!pacerStarted) {  // presents before the show asked for an interval are paced too
        pacerStart(&pacer, pacerSystemClock());
        pacerStarted = true;
    }
    bool paced = swapIntervalAsked != 0;
    if (paced && pacer.state != kPacerTrusting) glFinish();
    if (paced) pacerBeforePresent(&pacer);
    double handedOver = pacerSystemClock().now(nullptr);
    SDL_GL_SwapWindow(native);
    if (paced) pacerAfterPresent(&pacer);
    logPresent(handedOver);
}

void GLimp_SetSwapInterval(int interval) {
    if (!GLimp_HasCurrentContext()) return;
    swapIntervalAsked = interval;
    pacerStart(&pacer, pacerSystemClock());
    pacerStarted = true;
    glIntervalAsked = -1;
    if (SDL_Window *window = SDL_GL_GetCurrentWindow()) askInterval(window);
}
