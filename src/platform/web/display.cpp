// display.cpp -- the web backend's display: full screen as the browser
// grants it, and the swap the shared present (present.cpp) paces to 60 a
// second, on a clock whose sleeps yield to the browser: it hands the frame to
// the browser and waits for the next animation frame; in the deterministic
// mode it waits for nothing, advances the song by the present's samples and
// hands the chosen frames to the page.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/pacer.h"
#include "platform/present.h"
#include "platform/web/gl_webgl.h"
#include "platform/web/web_internal.h"

namespace {

const int kStepYieldEvery = 16;  // deterministic presents between yields to the browser

// Owned by the pacer's clock and sysBackendSwapBuffers: the pacer's sleeps,
// taken as one asynchronous wait before the present.
double owedSeconds = 0;
// Owned by chosen: the frames to read back.
std::vector<long> chosenFrames;
bool chosenRead = false;

// The pacer's clock: its sleeps are owed, not slept, so that the wait can
// yield to the browser (the pacer itself cannot be suspended). A returned
// present is measured by the animation frame it returned at, not by when the
// browser got round to resuming the show: that jitters by milliseconds, and
// would look like presents faster than 60 a second on a 60 Hz display.
double pacerNow(void *) { return emscripten_get_now() / 1000.0 + owedSeconds; }
void pacerSleep(void *, double seconds) {
    if (seconds > 0) owedSeconds += seconds;
}
double pacerReturned(void *) { return kwFrameTime() / 1000.0; }

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

// A present of the deterministic mode: the song advances by this present's
// samples; a chosen frame of the show is read back; frames nobody looks at
// are not drawn; after the last chosen one the show is asked to end.
void stepPresent(int width, int height) {
    const PlatformPresentStep step = Sys_PresentStep();
    webStepSound(step.samples);
    if (step.showFrame >= 0) {
        if (chosen(step.showFrame)) kwCaptureFrame((int)step.showFrame, width, height);
        if (step.showFrame == lastChosen()) Sys_PostQuitMessage(0);
    }
    glwebSkipDrawing(!chosen(step.showFrame + 1));
    if ((step.present + 1) % kStepYieldEvery == 0) emscripten_sleep(0);
}

}  // namespace

// The browser refreshes at a rate it does not tell: presents wait for the
// next animation frame, and the pacer holds them to 60 a second where the
// display refreshes faster.
void sysBackendSetSwapInterval() {}

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

SysPresentPacing sysBackendPresentPacing(PlatformDc dc) {
    if (!sysDcWindow(dc)) return kSysPresentDropped;
    return webStepMode() ? kSysPresentUnpaced : kSysPresentPaced;
}

PacerClock sysBackendPacerClock() { return PacerClock{pacerNow, pacerSleep, nullptr, pacerReturned}; }

void sysBackendSwapBuffers(PlatformDc) {
    if (webStepMode()) {
        int width = 0, height = 0;
        emscripten_webgl_get_drawing_buffer_size(emscripten_webgl_get_current_context(), &width, &height);
        stepPresent(width, height);
        return;
    }
    kwHandOver(webHeardOrder(), Sys_PresentStep().showFrame >= 0 ? 1 : 0);
    if (owedSeconds > 0) {
        const double owed = owedSeconds;
        owedSeconds = 0;
        emscripten_sleep((unsigned)(owed * 1000.0));
    }
    kwWaitFrame();
}
