// gl_win32.cpp -- the display window's GL on WGL: the full-screen mode switch
// (ChangeDisplaySettings), device context, pixel format, context, and the
// present, held to at most 60 frames per second.
#include <GL/gl.h>

#include "platform/win32/win32_internal.h"

namespace {

bool modeChanged = false;  // owned here: whether the desktop mode must be put back
LARGE_INTEGER nextPresent = {};  // owned by GLimp_SwapBuffers: earliest time of the next present

typedef BOOL(WINAPI *SwapIntervalProc)(int);

int64_t ticksNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t ticksPerSecond() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// Waits until a 60th of a second has passed since the previous present's
// slot; a present that comes late starts a new schedule rather than rushing.
void paceTo60() {
    const int64_t period = ticksPerSecond() / 60;
    int64_t now = ticksNow();
    if (nextPresent.QuadPart == 0 || now - nextPresent.QuadPart > period) nextPresent.QuadPart = now;
    while (now < nextPresent.QuadPart) {
        int64_t ms = (nextPresent.QuadPart - now) * 1000 / ticksPerSecond();
        Sleep(ms > 1 ? (DWORD)(ms - 1) : 0);
        now = ticksNow();
    }
    nextPresent.QuadPart += period;
}

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

void GLimp_SwapBuffers(PlatformDc dc) {
    if (!dc) return;
    SwapBuffers((HDC)dc);
    paceTo60();
}

// Through WGL_EXT_swap_control where the driver has it; the present is paced either way.
void GLimp_SetSwapInterval(int interval) {
    if (!GLimp_HasCurrentContext()) return;
    SwapIntervalProc setInterval = (SwapIntervalProc)(void *)wglGetProcAddress("wglSwapIntervalEXT");
    if (setInterval) setInterval(interval);
}
