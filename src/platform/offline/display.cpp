// display.cpp -- the offline backend's display: no mode to switch, no
// refresh to wait for; every presented frame is handed to the capture's hook
// and rendered before the present returns.
#include <GL/gl.h>

#include "platform/offline/offline_internal.h"

bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int, int) {
    if (w == 0) return true;
    return sysWindow(window) && !sysShouldFail("ChangeDisplayMode");
}

// Nothing to wait for: presents go unpaced.
SysPresentPacing sysBackendPresentPacing(PlatformDc dc) {
    return sdlWindowOf((PlatformWindow)dc) ? kSysPresentUnpaced : kSysPresentDropped;
}

PacerClock sysBackendPacerClock() { return pacerSystemClock(); }

void sysBackendSwapBuffers(PlatformDc dc) {
    SDL_Window *native = sdlWindowOf((PlatformWindow)dc);
    if (offlineConfig().onPresent && GLimp_HasCurrentContext()) {
        int w = 0, h = 0;
        SDL_GetWindowSize(native, &w, &h);
        offlineConfig().onPresent(offlineConfig().user, w, h);
    }
    SDL_GL_SwapWindow(native);
    // The offscreen surface's swap waits for nothing: the frame is rendered
    // here, as a real present renders it, or GL would queue every frame's
    // commands (and their memory) whether or not the hook reads pixels.
    if (GLimp_HasCurrentContext()) glFinish();
}

// Presents never wait here, whatever is asked.
void sysBackendSetSwapInterval() {}
