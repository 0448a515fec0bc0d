// gl_context.cpp -- the GL steps of the display window on SDL, shared by the
// live backend (an X11 window) and the offline one (SDL's offscreen driver
// over EGL): the display window's SDL window, device context, pixel format,
// context and current context.
#include "platform/sdl_gl/gl_context.h"

#include "platform/platform_internal.h"

namespace {

bool contextCurrent = false;  // owned by GLimp_MakeCurrent and GLimp_CreateContext

}  // namespace

void sdlSetGlAttributes() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
}

void sdlRetireWindow(SysWindow *entry) {
    if (entry->type == kSysWindowDisplay && entry->native) SDL_HideWindow((SDL_Window *)entry->native);
    entry->native = nullptr;
}

SDL_Window *sdlWindowOf(PlatformWindow window) {
    SysWindow *entry = sysWindow(window);
    return entry && entry->type == kSysWindowDisplay ? (SDL_Window *)entry->native : nullptr;
}

PlatformWindow sdlNewDisplayWindow(const PlatformWindowClass *windowClass, const char *caption, int x, int y, int w,
                                   int h, Uint32 flags) {
    sdlSetGlAttributes();
    SDL_Window *native = SDL_CreateWindow(caption, x, y, w, h, SDL_WINDOW_OPENGL | flags);
    if (!native) {
        Sys_ReportFailure("cannot create the display window: %s", SDL_GetError());
        return 0;
    }
    PlatformWindow window = sysAllocWindow(kSysWindowDisplay, windowClass->proc, 0);
    if (!window) {
        SDL_DestroyWindow(native);
        return 0;
    }
    sysWindow(window)->native = native;
    return window;
}

PlatformDc GLimp_GetDc(PlatformWindow window) {
    if (sysShouldFail("GetDc") || !sdlWindowOf(window)) return 0;
    return sysDcOpen(window);
}

PlatformGlContext GLimp_CreateContext(PlatformDc dc) {
    if (sysShouldFail("CreateContext") || !sysDcHasFormat(dc)) return 0;
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindowOf(sysDcWindow(dc)));
    if (!context) {
        Sys_ReportFailure("cannot create a GL context: %s", SDL_GetError());
        return 0;
    }
    SDL_GL_MakeCurrent(nullptr, nullptr);  // a new context is not current until asked
    contextCurrent = false;
    return (PlatformGlContext)context;
}

bool GLimp_MakeCurrent(PlatformDc dc, PlatformGlContext context) {
    if (sysShouldFail("MakeCurrent")) return false;
    if (dc == 0 && context == 0) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
        contextCurrent = false;
        return true;
    }
    PlatformWindow window = sysDcWindow(dc);
    if (!window || !context) return false;
    contextCurrent = SDL_GL_MakeCurrent(sdlWindowOf(window), (SDL_GLContext)context) == 0;
    if (!contextCurrent) Sys_ReportFailure("cannot make the GL context current: %s", SDL_GetError());
    return contextCurrent;
}

bool GLimp_DeleteContext(PlatformGlContext context) {
    if (sysShouldFail("DeleteContext") || !context) return false;
    SDL_GL_DeleteContext((SDL_GLContext)context);
    return true;
}

bool GLimp_HasCurrentContext() { return contextCurrent && SDL_GL_GetCurrentContext() != nullptr; }
