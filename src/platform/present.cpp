// present.cpp -- the present every backend shares: GLimp_SwapBuffers and
// GLimp_SetSwapInterval hold presents to at most 60 a second with one pacer
// (pacer.h) around the backend's own swap (sysBackendSwapBuffers), count them
// by the show's clock (present.h), and log each where KAVELD_PRESENT_LOG names
// a file.
#include "platform/present.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform_internal.h"
#include "platform/sound_internal.h"

namespace {

// Owned by GLimp_SetSwapInterval and GLimp_SwapBuffers: the display's pacer,
// whether it has started, and the interval the show asked for (presents before
// it asks are paced as at 1).
Pacer pacer;
bool pacerStarted = false;
int intervalAsked = 1;
// Owned by GLimp_SwapBuffers: presents made, and those of them that showed a
// frame of the show.
long presentsMade = 0, showFramesMade = 0;
// Owned by logPresent: when KAVELD_PRESENT_LOG names a file, every present
// goes there as one line: two times (seconds on the monotonic clock), when
// the frame was handed to the display and when the swap returned, and what
// the pacer does next ("trusting" the swaps, "pacing" or "probing" them).
FILE *presentLog = nullptr;
bool presentLogChecked = false;

const char *const kStateNames[] = {"trusting", "pacing", "probing"};

void logPresent(double handedOver) {
    if (!presentLogChecked) {
        presentLogChecked = true;
        const char *path = std::getenv("KAVELD_PRESENT_LOG");
        if (path && *path && (presentLog = std::fopen(path, "w"))) setvbuf(presentLog, nullptr, _IOLBF, 0);
    }
    if (presentLog)
        std::fprintf(presentLog, "%.6f %.6f %s\n", handedOver, pacerSystemClock().now(nullptr),
                     kStateNames[pacer.state]);
}

void startPacer() {
    pacerStart(&pacer, sysBackendPacerClock());
    pacerStarted = true;
}

bool songStarted() { return sndPlayingSong() != nullptr; }

size_t samplesOfPresent(long present, int rate) {
    return (size_t)(((present + 1) * (long long)rate) / kShowPresentsPerSecond -
                    (present * (long long)rate) / kShowPresentsPerSecond);
}

}  // namespace

PlatformPresentStep Sys_PresentStep() {
    return PlatformPresentStep{presentsMade, songStarted() ? showFramesMade : -1,
                               samplesOfPresent(presentsMade, sndMixRate())};
}

int sysPresentFollowRefresh(double refreshHz) {
    if (!pacerStarted) return -1;
    int multiple = pacerFollowDisplay(&pacer, refreshHz);
    return intervalAsked > 0 ? intervalAsked * multiple : 0;
}

// At most 60 presents a second, whatever the display and driver do (see
// pacer.h); unpaced only when the show asked for interval 0 or the backend
// has nothing to wait for. While paced on the clock, the frame is rendered
// before the wait: a software GL renders at the swap, and the frame's drawing
// time would otherwise land after its deadline.
void GLimp_SwapBuffers(PlatformDc dc) {
    SysPresentPacing pacing = sysBackendPresentPacing(dc);
    if (pacing == kSysPresentDropped) return;
    if (!pacerStarted) startPacer();
    bool paced = pacing == kSysPresentPaced && intervalAsked != 0;
    if (paced && pacer.state != kPacerTrusting) glFinish();
    if (paced) pacerBeforePresent(&pacer);
    double handedOver = pacerSystemClock().now(nullptr);
    sysBackendSwapBuffers(dc);
    if (paced) pacerAfterPresent(&pacer);
    if (songStarted()) showFramesMade++;
    presentsMade++;
    logPresent(handedOver);
}

void GLimp_SetSwapInterval(int interval) {
    if (!GLimp_HasCurrentContext()) return;
    intervalAsked = interval;
    startPacer();
    sysBackendSetSwapInterval();
}
