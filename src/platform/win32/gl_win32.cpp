// gl_win32.cpp -- the display window's GL on WGL: the full-screen mode switch
// (ChangeDisplaySettings), device context, pixel format, context, and the
// present, held to at most 60 frames per second by the shared pacer.
#include <GL/gl.h>

#include "platform/pacer.h"
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>

namespace {

bool modeChanged = false;  // owned here: whether the desktop mode must be put back
// Owned by GLimp_SwapBuffers and GLimp_SetSwapInterval: the pacer, the
// interval the show asked for and the one the pacer was started for.
Pacer pacer;
int intervalAsked = 1;
int pacedInterval = -2;

typedef BOOL(WINAPI *SwapIntervalProc)(int);

PIXELFORMATDESCRIPTOR descriptor(const PlatformPixelFormat *format) {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (format->doubleBuffer ? PFD_DOUBLEBUFFER : 0);
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = (BYTE)format->colorBits;
    pfd.cDepthBits = (BYTE)format->depthBits;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

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

PlatformDc GLimp_GetDc(PlatformWindow window) {
    HWND hwnd = win32Native(window);
    if (sysShouldFail("GetDc") || !hwnd) return 0;
    return (PlatformDc)GetDC(hwnd);
}

void GLimp_ReleaseDc(PlatformWindow window, PlatformDc dc) {
    HWND hwnd = win32Native(window);
    if (hwnd && dc) ReleaseDC(hwnd, (HDC)dc);
}

int GLimp_ChoosePixelFormat(PlatformDc dc, const PlatformPixelFormat *format) {
    if (sysShouldFail("ChoosePixelFormat") || !dc || !format) return 0;
    PIXELFORMATDESCRIPTOR pfd = descriptor(format);
    return ChoosePixelFormat((HDC)dc, &pfd);
}

bool GLimp_SetPixelFormat(PlatformDc dc, int formatIndex, const PlatformPixelFormat *format) {
    if (sysShouldFail("SetPixelFormat") || !dc || formatIndex <= 0 || !format) return false;
    PIXELFORMATDESCRIPTOR pfd = descriptor(format);
    return SetPixelFormat((HDC)dc, formatIndex, &pfd) != FALSE;
}

PlatformGlContext GLimp_CreateContext(PlatformDc dc) {
    if (sysShouldFail("CreateContext") || !dc) return 0;
    return (PlatformGlContext)wglCreateContext((HDC)dc);
}

bool GLimp_MakeCurrent(PlatformDc dc, PlatformGlContext context) {
    if (sysShouldFail("MakeCurrent")) return false;
    if (dc == 0 && context == 0) return wglMakeCurrent(nullptr, nullptr) != FALSE;
    if (!dc || !context) return false;
    return wglMakeCurrent((HDC)dc, (HGLRC)context) != FALSE;
}

bool GLimp_DeleteContext(PlatformGlContext context) {
    if (sysShouldFail("DeleteContext") || !context) return false;
    return wglDeleteContext((HGLRC)context) != FALSE;
}

bool GLimp_HasCurrentContext() { return wglGetCurrentContext() != nullptr; }

// At most 60 presents a second, whatever the display and driver do (see
// pacer.h); unpaced only when the show asked for interval 0.
void GLimp_SwapBuffers(PlatformDc dc) {
    if (!dc) return;
    if (intervalAsked != pacedInterval) {
        timeBeginPeriod(1);  // the pacer's sleeps to the millisecond, not to the default 15.6 ms tick
        pacerStart(&pacer, pacerSystemClock());
        pacedInterval = intervalAsked;
    }
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
