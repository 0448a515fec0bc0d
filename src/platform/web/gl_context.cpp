// gl_context.cpp -- the display's GL in the browser: the device context is
// the display window, the one pixel format a double-buffered RGB WebGL 1
// canvas with a depth buffer (no alpha, no antialiasing, as the desktop's),
// the context a WebGL context on it.
#include <emscripten/html5.h>

#include <cstdio>

#include "platform/web/gl_webgl.h"
#include "platform/web/web_internal.h"

namespace {

struct DcRecord {
    PlatformWindow window;
    int pixelFormat;  // 0 until set; a window takes its format once
};
DcRecord dcs[kSysMaxWindows + 1];  // owned by the GLimp_* calls below

}  // namespace

PlatformDc webDcWindow(PlatformDc dc) {
    if (dc < 1 || dc > kSysMaxWindows) return 0;
    SysWindow *entry = sysWindow(dcs[dc].window);
    return entry && entry->type == kSysWindowDisplay ? dcs[dc].window : 0;
}

namespace {

DcRecord *dcRecord(PlatformDc dc) { return webDcWindow(dc) ? &dcs[dc] : nullptr; }

}  // namespace

PlatformDc GLimp_GetDc(PlatformWindow window) {
    SysWindow *entry = sysWindow(window);
    if (sysShouldFail("GetDc") || !entry || entry->type != kSysWindowDisplay) return 0;
    dcs[window] = DcRecord{window, dcs[window].window == window ? dcs[window].pixelFormat : 0};
    return window;
}

void GLimp_ReleaseDc(PlatformWindow, PlatformDc) {}

int GLimp_ChoosePixelFormat(PlatformDc dc, const PlatformPixelFormat *format) {
    if (sysShouldFail("ChoosePixelFormat") || !dcRecord(dc) || !format) return 0;
    bool fits = (format->colorBits == 16 || format->colorBits == 24 || format->colorBits == 32) &&
                format->depthBits > 0 && format->depthBits <= 24 && format->doubleBuffer;
    return fits ? 1 : 0;
}

bool GLimp_SetPixelFormat(PlatformDc dc, int formatIndex, const PlatformPixelFormat *format) {
    DcRecord *record = dcRecord(dc);
    if (sysShouldFail("SetPixelFormat") || !record || formatIndex != 1 || !format || record->pixelFormat != 0)
        return false;
    record->pixelFormat = formatIndex;
    return true;
}

PlatformGlContext GLimp_CreateContext(PlatformDc dc) {
    DcRecord *record = dcRecord(dc);
    if (sysShouldFail("CreateContext") || !record || record->pixelFormat == 0) return 0;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    char selector[32];
    std::snprintf(selector, sizeof selector, "#kaveld-display-%d", (int)record->window);
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(selector, &attributes);
    if (context <= 0) {
        Sys_ReportFailure("cannot create a WebGL context (the browser has WebGL switched off or lacks it)");
        return 0;
    }
    return (PlatformGlContext)context;
}

bool GLimp_MakeCurrent(PlatformDc dc, PlatformGlContext context) {
    if (sysShouldFail("MakeCurrent")) return false;
    if (dc == 0 && context == 0) {
        emscripten_webgl_make_context_current(0);
        return true;
    }
    if (!dcRecord(dc) || !context) return false;
    if (emscripten_webgl_make_context_current((EMSCRIPTEN_WEBGL_CONTEXT_HANDLE)context) != EMSCRIPTEN_RESULT_SUCCESS)
        return false;
    glwebContextChanged();
    return true;
}

bool GLimp_DeleteContext(PlatformGlContext context) {
    if (sysShouldFail("DeleteContext") || !context) return false;
    return emscripten_webgl_destroy_context((EMSCRIPTEN_WEBGL_CONTEXT_HANDLE)context) == EMSCRIPTEN_RESULT_SUCCESS;
}

bool GLimp_HasCurrentContext() { return emscripten_webgl_get_current_context() != 0; }
