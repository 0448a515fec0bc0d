// windows.cpp -- the offline backend's windows: no display server, no user.
// Windows are records only; the options window can press its first push
// button by itself; the display window is an offscreen GL surface (SDL's
// offscreen driver over EGL, rendered by Mesa). Message boxes become lines on
// stderr. Used by the capture tool and by the tests.
#include <cstdio>

#include "platform/offline/offline_internal.h"

namespace {

PlatformOfflineConfig config = {false, nullptr, nullptr};  // owned by Sys_ConfigureOffline
// Owned by Sys_CreateOptionsWindow and Sys_CreateButton: the options window
// still waiting for its first push button.
PlatformWindow autoAcceptWindow = 0;

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

const PlatformOfflineConfig &offlineConfig() { return config; }

PlatformWindow Sys_CreateOptionsWindow(const char *className, const char *, int, int, int, int) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateOptionsWindow") || !windowClass) return 0;
    PlatformWindow window = sysAllocWindow(kSysWindowOptions, windowClass->proc, 0);
    if (window && config.autoAcceptOptions) autoAcceptWindow = window;
    return window;
}

PlatformWindow Sys_CreateButton(PlatformWindow parent, PlatformButtonKind kind, const char *, int id, int, int, int,
                                int) {
    PlatformWindow button = sysAllocButton(parent, kind, id);
    if (button && kind == kButtonPush && parent == autoAcceptWindow) {
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

void sysBackendPump() {}

void sysBackendDestroyNative(PlatformWindow, SysWindow *entry) { sdlRetireWindow(entry); }

void sysBackendSetCheck(PlatformWindow, SysWindow *) {}

void sysBackendShowMessageBox(PlatformWindow, const char *text, const char *caption) {
    std::fprintf(stderr, "kaveld: [%s] %s\n", caption, text);
}

PlatformWindow sysBackendFocus() { return 0; }
