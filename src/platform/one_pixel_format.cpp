// one_pixel_format.cpp -- the device contexts of the backends whose GL offers
// one pixel format (sdl_gl/, web/): a display window's context is its own id,
// and it takes the one double-buffered format once.
#include "platform/platform_internal.h"

namespace {

struct DcRecord {
    PlatformWindow window;
    uint32_t serial;  // of the window it was opened for: a window made anew under the same handle has none set
    int pixelFormat;  // 0 until set
};
DcRecord dcs[kSysMaxWindows + 1];  // owned by the calls below

}  // namespace

PlatformDc sysDcOpen(PlatformWindow window) {
    SysWindow *entry = sysWindow(window);
    if (!entry) return 0;
    bool same = dcs[window].window == window && dcs[window].serial == entry->serial;
    dcs[window] = DcRecord{window, entry->serial, same ? dcs[window].pixelFormat : 0};
    return window;
}

PlatformWindow sysDcWindow(PlatformDc dc) {
    if (dc < 1 || dc > kSysMaxWindows) return 0;
    SysWindow *entry = sysWindow(dcs[dc].window);
    return entry && entry->type == kSysWindowDisplay && entry->serial == dcs[dc].serial ? dcs[dc].window : 0;
}

void GLimp_ReleaseDc(PlatformWindow, PlatformDc) {}

int GLimp_ChoosePixelFormat(PlatformDc dc, const PlatformPixelFormat *format) {
    if (sysShouldFail("ChoosePixelFormat") || !sysDcWindow(dc) || !format) return 0;
    bool fits = (format->colorBits == 16 || format->colorBits == 24 || format->colorBits == 32) &&
                format->depthBits > 0 && format->depthBits <= 24 && format->doubleBuffer;
    return fits ? 1 : 0;
}

bool GLimp_SetPixelFormat(PlatformDc dc, int formatIndex, const PlatformPixelFormat *format) {
    if (sysShouldFail("SetPixelFormat") || !sysDcWindow(dc) || formatIndex != 1 || !format || dcs[dc].pixelFormat != 0)
        return false;
    dcs[dc].pixelFormat = formatIndex;
    return true;
}

bool sysDcHasFormat(PlatformDc dc) { return sysDcWindow(dc) && dcs[dc].pixelFormat != 0; }
