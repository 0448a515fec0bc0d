// display.cpp -- the web backend's display: full screen as the browser
// grants it, and the present, which hands the frame to the browser and waits
// for the next animation frame, held to 60 a second by the shared pacer; in
// the deterministic mode it waits for nothing, advances the song by the
// present's samples and hands the chosen frames to the page.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/pacer.h"
#include "platform/web/gl_webgl.h"
#include "platform/web/web_internal.h"

namespace {

const int kSamplesPerSecond = 44100, kPresentsPerSecond = 60;
const int kStepYieldEvery = 16;  // deterministic presents between yields to the browser

// Owned by GLimp_SetSwapInterval and GLimp_SwapBuffers.
int intervalAsked = 1;
Pacer pacer;
int pacedInterval = -2;
double owedSeconds = 0;  // the pacer's sleeps, taken as one asynchronous wait before the present
double frameStamp = 0;   // the time the pacer measures a present by, once it returned
// Owned by stepPresent: presents so far, show frames so far, the frames to read back.
long presents = 0, showFrames = 0;
std::vector<long> chosenFrames;
bool chosenRead = false;

// The pacer's clock: its sleeps are owed, not slept, so that the wait can
// yield to the browser (the pacer itself cannot be suspended). A returned
// present is measured by the animation frame it returned at, not by when the
// browser got round to resuming the show: that jitters by milliseconds, and
// would look like presents faster than 60 a second on a 60 Hz display.
double pacerNow(void *) {
    const double stamp = frameStamp;
    frameStamp = 0;
    return stamp > 0 ? stamp : emscripten_get_now() / 1000.0 + owedSeconds;
}
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
    webStepSound(samplesFor(presents));
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

// The browser refreshes at a rate it does not tell: presents wait for the
// next animation frame, and the pacer holds them to 60 a second where the
// display refreshes faster.
void GLimp_SetSwapInterval(int interval) {
    if (GLimp_HasCurrentContext()) intervalAsked = interval;
}

// Full screen is the browser's to grant (it asks for the viewer's click,
// which the OK button has just given). The canvas keeps its size: the page
// scales it to fit. A null-sized request leaves full screen.
bool GLimp_ChangeDisplayMode(PlatformWindow window, int w, int, int) {
    if (w == 0) {
        kwLeaveFullScreen();
        return true;
    }
    SysWindow *entry = sysWindow(window);
    if (sysShouldFail("ChangeDisplayMode") || !entry || entry->type != kSysWindowDisplay) return false;
    if (kwEnterFullScreen(window)) return true;
    Sys_ReportFailure("the browser did not allow full screen");
    return false;
}

void GLimp_SwapBuffers(PlatformDc dc) {
    if (!sysDcWindow(dc)) return;
    if (webStepMode()) {
        int width = 0, height = 0;
        emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width, &height);
        stepPresent(width, height);
        return;
    }
    kwHandOver(webHeardOrder(), webSongStarted() ? 1 : 0);
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
    kwWaitFrame();
    frameStamp = kwFrameTime() / 1000.0;
    if (intervalAsked != 0) pacerAfterPresent(&pacer);
    frameStamp = 0;
}
