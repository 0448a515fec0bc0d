// display.cpp -- the live backend's display on SDL2: the full-screen mode
// switch, the swap interval asked of the display's refresh (chosen again when
// the window's display or its mode changes), and the swap the shared present
// (present.cpp) paces to at most 60 frames per second.
#include <vector>

#include "platform/pacer.h"
#include "platform/sdl/sdl_internal.h"

namespace {

// Owned by sysBackendSetSwapInterval and sdlFollowDisplay: the interval last
// asked of the GL (-1 when it must be asked again).
int glIntervalAsked = -1;

double refreshOf(SDL_Window *window) {
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &mode) != 0) return 0;
    return mode.refresh_rate;
}

// Asks the GL for the show's interval times the whole multiple of 60 Hz that
// the window's display refreshes at (2 at 120 Hz), so that presents come 60 a
// second where the driver honours it.
void askInterval(SDL_Window *window) {
    int wanted = sysPresentFollowRefresh(refreshOf(window));
    if (wanted < 0) return;  // the pacer has not started: nothing to follow
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
    SDL_Window *window = GLimp_HasCurrentContext() ? SDL_GL_GetCurrentWindow() : nullptr;
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

SysPresentPacing sysBackendPresentPacing(PlatformDc dc) {
    return sdlWindowOf((PlatformWindow)dc) ? kSysPresentPaced : kSysPresentDropped;
}

PacerClock sysBackendPacerClock() { return pacerSystemClock(); }

void sysBackendSwapBuffers(PlatformDc dc) { SDL_GL_SwapWindow(sdlWindowOf((PlatformWindow)dc)); }

void sysBackendSetSwapInterval() {
    glIntervalAsked = -1;
    if (SDL_Window *window = SDL_GL_GetCurrentWindow()) askInterval(window);
}
