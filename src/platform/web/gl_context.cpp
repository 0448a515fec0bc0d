// gl_context.cpp -- the display's GL in the browser: the device context is
// the display window, the one pixel format a double-buffered RGB WebGL 1
// canvas with a depth buffer (no alpha, no antialiasing, as the desktop's),
// the context a WebGL context on it.
#include <emscripten/html5.h>

#include <cstdio>

#include "platform/web/gl_webgl.h"
#include "platform/web/web_internal.h"

PlatformDc GLimp_GetDc(PlatformWindow window) {
    SysWindow *entry = sysWindow(window);
    if (sysShouldFail("GetDc") || !entry || entry->type != kSysWindowDisplay) return 0;
    return sysDcOpen(window);
}

PlatformGlContext GLimp_CreateContext(PlatformDc dc) {
    if (sysShouldFail("CreateContext") || !sysDcHasFormat(dc)) return 0;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    char selector[32];
    std::snprintf(selector, sizeof selector, "#kaveld-display-%d", (int)sysDcWindow(dc));
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
    if (!sysDcWindow(dc) || !context) return false;
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
