// gl_context.cpp -- the template backend's GL steps (see windows.cpp for
// what the template is). Each step fails once when sysShouldFail(its name)
// says so: "GetDc", "ChoosePixelFormat", "SetPixelFormat", "CreateContext",
// "MakeCurrent", "DeleteContext". A GL of one pixel format takes its device
// contexts from one_pixel_format.cpp (sysDcOpen) instead of writing them.
#include "platform/platform_internal.h"

// The display window's device context; 0 for any other window.
PlatformDc GLimp_GetDc(PlatformWindow) { return 0; }

void GLimp_ReleaseDc(PlatformWindow, PlatformDc) {}

// A double-buffered RGBA format of colorBits (16 or 32) and depthBits; 0 when none.
int GLimp_ChoosePixelFormat(PlatformDc, const PlatformPixelFormat *) { return 0; }

bool GLimp_SetPixelFormat(PlatformDc, int, const PlatformPixelFormat *) { return false; }

// A GL 1.1 (compatibility) context on dc, not current until made so.
PlatformGlContext GLimp_CreateContext(PlatformDc) { return 0; }

// dc 0 with context 0 releases the current context (and succeeds).
bool GLimp_MakeCurrent(PlatformDc dc, PlatformGlContext context) { return dc == 0 && context == 0; }

bool GLimp_DeleteContext(PlatformGlContext) { return false; }

bool GLimp_HasCurrentContext() { return false; }
