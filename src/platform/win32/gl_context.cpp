// gl_context.cpp -- the display window's GL on WGL: device context, pixel
// format, context and current context.
#include <GL/gl.h>

#include "platform/win32/win32_internal.h"

namespace {

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
