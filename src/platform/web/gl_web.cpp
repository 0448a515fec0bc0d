// gl_web.cpp -- the display's GL steps in the browser: the device context
// is the display window, the one pixel format is a double-buffered RGB
// WebGL 1 canvas with a depth buffer (no alpha, no antialiasing, as the
// desktop's), the context a WebGL context on it. The present hands the frame
// to the browser and waits for the next animation frame, held to 60 a second
// by the shared pacer; in the deterministic mode it waits for nothing.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/pacer.h"
#include "platform/web/gl_webgl.h"
#include "platform/web/web_internal.h"

namespace {

const int kSamplesPerSecond = 44100, kPresentsPerSecond = 60;
const int kStepYieldEvery = 16;  // deterministic presents between yields to the browser

struct DcRecord {
    PlatformWindow window;
    int pixelFormat;  // 0 until set; a window takes its format once
};
// Owned by the GLimp_* calls below.
DcRecord dcs[kSysMaxWindows + 1];
int intervalAsked = 1;
Pacer pacer;
int pacedInterval = -2;
double owedSeconds = 0;  // the pacer's sleeps, taken as one asynchronous wait before the present
// Owned by stepPresent: presents so far, show frames so far, the frames to read back.
long presents = 0, showFrames = 0;
std::vector<long> chosenFrames;
bool chosenRead = false;

DcRecord *dcRecord(PlatformDc dc) {
    if (dc < 1 || dc > kSysMaxWindows) return nullptr;
    DcRecord *record = &dcs[dc];
    SysWindow *entry = sysWindow(record->window);
    return entry && entry->type == kSysWindowDisplay ? record : nullptr;
}

// The pacer's clock: its sleeps are owed, not slept, so that the wait can
// yield to the browser (the pacer itself cannot be suspended).
double pacerNow(void *) { return emscripten_get_now() / 1000.0 + owedSeconds; }
void pacerSleep(void *, double seconds) {
    if (seconds > 0) owedSeconds += seconds;
}

bool chosen(long frame) {
    if (!chosenRead) {
        chosenRead = true;
        char list[4096];
        if (kwParam("frames", list, sizeof list))
            for (char *p = list; *p;) {
                char *end;
                long value = std::strtol(p, &end, 10);
                if (end == p) break;
                chosenFrames.push_back(value);
                p = *end ? end + 1 : end;
            }
    }
    for (long f : chosenFrames)
        if (f == frame) return true;
    return false;
}

long lastChosen() {
    long last = -1;
    for (long f : chosenFrames) last = f > last ? f : last;
    return last;
}

// Samples for present n: the integer steps of n * rate / 60, so none drifts.
size_t samplesFor(long n) {
    return (size_t)(((n + 1) * (long long)kSamplesPerSecond) / kPresentsPerSecond -
                    (n * (long long)kSamplesPerSecond) / kPresentsPerSecond);
}

// A present of the deterministic mode: the song advances by this present's
// samples; a chosen frame of the show is read back; frames nobody looks at
// are not drawn; after the last chosen one the show is asked to end.
void stepPresent(int width, int height) {
    std::vector<float> samples(samplesFor(presents) * 2);
    Snd_RenderOffline(samples.data(), samples.size() / 2);
    presents++;
    if (webSongStarted()) {
        long frame = showFrames++;
        if (chosen(frame)) kwCaptureFrame((int)frame, width, height);
        if (frame == lastChosen()) Sys_PostQuitMessage(0);
    }
    glwebSkipDrawing(!chosen(showFrames));
    if (presents % kStepYieldEvery == 0) emscripten_sleep(0);
}

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

// The browser refreshes at a rate it does not tell: presents wait for the
// next animation frame, and the pacer holds them to 60 a second where the
// display refreshes faster.
void GLimp_SetSwapInterval(int interval) {
    if (GLimp_HasCurrentContext()) intervalAsked = interval;
}

void GLimp_SwapBuffers(PlatformDc dc) {
    DcRecord *record = dcRecord(dc);
    if (!record) return;
    if (webStepMode()) {
        int width = 0, height = 0;
        emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width, &height);
        stepPresent(width, height);
        return;
    }
    if (intervalAsked != pacedInterval) {
        pacerStart(&pacer, PacerClock{pacerNow, pacerSleep, nullptr});
        pacedInterval = intervalAsked;
    }
    if (intervalAsked != 0) pacerBeforePresent(&pacer);
    if (owedSeconds > 0) {
        const double owed = owedSeconds;
        owedSeconds = 0;
        emscripten_sleep((unsigned)(owed * 1000.0));
    }
    kwPresent(webPolledOrder(), webSongStarted() ? 1 : 0);
    if (intervalAsked != 0) pacerAfterPresent(&pacer);
}
