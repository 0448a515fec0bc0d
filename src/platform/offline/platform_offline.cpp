// platform_offline.cpp -- the offline backend: no display server, no user.
// Windows are records only; the options window can press its first push
// button by itself; the display window is an offscreen GL surface (SDL's
// offscreen driver over EGL, rendered by Mesa); every presented frame is
// handed to a hook and rendered before the present returns. Used by the
// capture tool and by the tests.
#include <GL/gl.h>

#include <cstdio>

#include "platform/platform_internal.h"
#include "platform/sdl/gl_surface_sdl.h"

namespace {

PlatformOfflineConfig config = {false, nullptr, nullptr};
PlatformWindow autoAcceptWindow = 0;  // options window still waiting for its first push button

bool initVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // signals stay the program's (Sys_CatchEndSignals)
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        Sys_ReportFailure("cannot open the display: offscreen video unavailable: %s", SDL_GetError());
        return false;
    }
    return true;
}

}  // namespace

void Sys_ConfigureOffline(const PlatformOfflineConfig *newConfig) { config = *newConfig; }

PlatformWindow Sys_CreateOptionsWindow(const char *className, const char *, int, int, int, int) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateOptionsWindow") || !windowClass) return 0;
    PlatformWindow window = sysAllocWindow(kSysWindowOptions, windowClass->proc, 0);
    if (window && config.autoAcceptOptions) autoAcceptWindow = window;
    return window;
}

PlatformWindow Sys_CreateButton(PlatformWindow parent, PlatformButtonKind kind, const char *, int id, int, int, int,
                                int) {
    SysWindow *owner = sysWindow(parent);
    if (sysShouldFail("CreateButton") || !owner || owner->type != kSysWindowOptions) return 0;
    PlatformWindow button = sysAllocWindow(kSysWindowButton, nullptr, parent);
    if (!button) return 0;
    SysWindow *entry = sysWindow(button);
    entry->controlId = id;
    entry->buttonKind = kind;
    if (kind == kButtonPush && parent == autoAcceptWindow) {
        Sys_PostMessage(button, kMsgLButtonUp, 0, 0);
        autoAcceptWindow = 0;
    }
    return button;
}

PlatformWindow GLimp_CreateWindow(const char *className, const char *caption, bool, int, int, int w, int h) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateWindow") || !windowClass || w <= 0 || h <= 0 || !initVideo()) return 0;
    return sdlNewDisplayWindow(windowClass, caption, 0, 0, w, h, SDL_WINDOW_HIDDEN);
}

bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int, int) {
    if (w == 0) return true;
    return sysWindow(window) && !sysShouldFail("ChangeDisplayMode");
}

void GLimp_SwapBuffers(PlatformDc dc) {
    SDL_Window *native = sdlWindowOf((PlatformWindow)dc);
    if (!native) return;
    if (config.onPresent && GLimp_HasCurrentContext()) {
        int w = 0, h = 0;
        SDL_GetWindowSize(native, &w, &h);
        config.onPresent(config.user, w, h);
    }
    SDL_GL_SwapWindow(native);
    // The offscreen surface's swap waits for nothing: the frame is rendered
    // here, as a real present renders it, or GL would queue every frame's
    // commands (and their memory) whether or not the hook reads pixels.
    if (GLimp_HasCurrentContext()) glFinish();
}

void sysBackendPump() {}

void sysBackendDestroyNative(PlatformWindow, SysWindow *entry) { sdlRetireWindow(entry); }

void sysBackendSetCheck(PlatformWindow, SysWindow *) {}

void sysBackendShowMessageBox(PlatformWindow, const char *text, const char *caption) {
    std::fprintf(stderr, "kaveld: [%s] %s\n", caption, text);
}

PlatformWindow sysBackendFocus() { return 0; }
