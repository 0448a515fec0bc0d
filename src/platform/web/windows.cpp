// windows.cpp -- the web backend's windows: the options window and its
// buttons as an HTML form, the display as a canvas (full screen through the
// browser's Fullscreen API), the page's events pumped into the show's queue,
// message boxes as an in-page dialog, keyboard focus, and the URL's settings
// (the seed, the deterministic mode).
#include <emscripten.h>

#include <cstdlib>
#include <cstring>

#include "platform/web/web_internal.h"

namespace {

// While no display is open (the options window waits for the viewer), an
// empty pump yields to the browser this long instead of spinning.
const int kIdleWaitMs = 20;
bool stepMode = false;  // owned by readUrlSettings

// The URL's settings, before the show starts: `seed` fixes the calendar time
// that seeds the show's random numbers (as the capture tool's --seed does).
struct UrlSettings {
    UrlSettings() {
        char value[32];
        stepMode = kwParam("step", value, sizeof value) != 0;
        if (kwParam("seed", value, sizeof value)) Sys_FixCalendarTime(std::strtoll(value, nullptr, 10));
    }
} readUrlSettings;

bool displayOpen() {
    for (PlatformWindow w = 1; w <= kSysMaxWindows; w++) {
        SysWindow *entry = sysWindow(w);
        if (entry && entry->type == kSysWindowDisplay) return true;
    }
    return false;
}

}  // namespace

bool webStepMode() { return stepMode; }

PlatformWindow Sys_CreateOptionsWindow(const char *className, const char *caption, int, int, int w, int h) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateOptionsWindow") || !windowClass || w <= 0 || h <= 0) return 0;
    PlatformWindow window = sysAllocWindow(kSysWindowOptions, windowClass->proc, 0);
    if (!window || kwCreateOptionsWindow(window, caption, w, h)) return window;
    sysForgetWindow(window);
    return 0;
}

PlatformWindow Sys_CreateButton(PlatformWindow parent, PlatformButtonKind kind, const char *caption, int id, int x,
                                int y, int w, int h) {
    PlatformWindow button = sysAllocButton(parent, kind, id);
    if (!button || kwCreateButton(button, parent, kind, caption, x, y, w, h)) return button;
    sysForgetWindow(button);
    return 0;
}

PlatformWindow GLimp_CreateWindow(const char *className, const char *caption, bool fullScreen, int, int, int w, int h) {
    const PlatformWindowClass *windowClass = sysFindClass(className);
    if (sysShouldFail("CreateWindow") || !windowClass || w <= 0 || h <= 0) return 0;
    PlatformWindow window = sysAllocWindow(kSysWindowDisplay, windowClass->proc, 0);
    if (window) kwCreateDisplay(window, caption, fullScreen ? 1 : 0, w, h);
    return window;
}

// Never waits while a display is open: the frame loop pumps here.
void sysBackendPump() {
    int32_t e[4];
    while (kwNextEvent(e)) Sys_PostMessage(e[0], (uint32_t)e[1], (uintptr_t)e[2], e[3]);
    if (sysQueueEmpty() && !displayOpen()) emscripten_sleep(kIdleWaitMs);
}

void sysBackendDestroyNative(PlatformWindow window, SysWindow *) { kwDestroy(window); }

void sysBackendSetCheck(PlatformWindow window, SysWindow *entry) { kwSetCheck(window, entry->checked ? 1 : 0); }

void sysBackendShowMessageBox(PlatformWindow, const char *text, const char *caption) { kwMessageBox(text, caption); }

PlatformWindow sysBackendFocus() { return kwFocus(); }
