// display.cpp -- the Windows backend's display: the full-screen mode switch
// (ChangeDisplaySettings), the swap interval asked of the display's refresh
// (WGL_EXT_swap_control), and the present, held to at most 60 frames per
// second by the shared pacer.
#include <GL/gl.h>

#include "platform/pacer.h"
#include "platform/win32/win32_internal.h"

namespace {

bool modeChanged = false;  // owned here: whether the desktop mode must be put back
// Owned by GLimp_SwapBuffers and GLimp_SetSwapInterval: the pacer, the
// interval the show asked for and the one the pacer was started for.
Pacer pacer;
int intervalAsked = 1;
int pacedInterval = -2;

typedef BOOL(WINAPI *SwapIntervalProc)(int);

}  // namespace

bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int h, int bpp) {
    if (w == 0) {  // back to the desktop mode
        if (modeChanged) ChangeDisplaySettingsA(nullptr, 0);
        modeChanged = false;
        return true;
    }
    HWND hwnd = win32Native(window);
    if (sysShouldFail("ChangeDisplayMode") || !hwnd) return false;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = (DWORD)w;
    mode.dmPelsHeight = (DWORD)h;
    mode.dmBitsPerPel = (DWORD)bpp;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    modeChanged = true;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, w, h, SWP_SHOWWINDOW);
    return true;
}

// At most 60 presents a second, whatever the display and driver do (see
// pacer.h); unpaced only when the show asked for interval 0. While paced on
// the clock, the frame is rendered before the wait: a software GL renders at
// the swap, and the frame's drawing time would otherwise land after its
// deadline. The pacer sleeps to the millisecond: the display window holds
// the timer at 1 ms while it is open (windows.cpp).
void GLimp_SwapBuffers(PlatformDc dc) {
    if (!dc) return;
    if (intervalAsked != pacedInterval) {
        pacerStart(&pacer, pacerSystemClock());
        pacedInterval = intervalAsked;
    }
    if (intervalAsked != 0 && pacer.pacing) glFinish();
    if (intervalAsked != 0) pacerBeforePresent(&pacer);
    SwapBuffers((HDC)dc);
    if (intervalAsked != 0) pacerAfterPresent(&pacer);
}

// Through WGL_EXT_swap_control where the driver has it, asking for the whole
// multiple of 60 Hz the display refreshes at (2 at 120 Hz).
void GLimp_SetSwapInterval(int interval) {
    if (!GLimp_HasCurrentContext()) return;
    intervalAsked = interval;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    double refreshHz = 0;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
        refreshHz = mode.dmDisplayFrequency;
    SwapIntervalProc setInterval = (SwapIntervalProc)(void *)wglGetProcAddress("wglSwapIntervalEXT");
    if (setInterval) setInterval(interval > 0 ? interval * pacerSwapInterval(refreshHz) : 0);
}
