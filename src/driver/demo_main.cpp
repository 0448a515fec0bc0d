// demo_main.cpp -- the entry function, the start-up and shutdown order, the
// frame loop and the quit counter every other module counts failures into.
#include "assets/assets.h"
#include "display/display.h"
#include "driver/driver.h"
#include "effects/effects.h"
#include "music/music.h"

int quitRequests = 0;
void *appInstance = nullptr;
PlatformMessage queueMessage = {};

void initTables() {
    buildTrigTables();
    initRingParticles();  // before the preload seeds rand: the same layout every run
    layoutBillboards();
}

namespace {

// Takes at most one message for any window; WM_QUIT counts a quit request
// and is still dispatched.
void pumpOneMessage() {
    if (!Sys_PeekMessage(&queueMessage)) return;
    if (queueMessage.message == kMsgQuit) quitRequests++;
    Sys_TranslateMessage(&queueMessage);
    Sys_DispatchMessage(&queueMessage);
}

}  // namespace

int demoMain(void *instance, void *, const char *, int) {
    appInstance = instance;
    runOptionsWindow();
    initGlState();
    initTables();
    loadAssets();
    // A signal by now cut the loading short: the program ends as it asked.
    // Anything else counted by now, short of the viewer's cancel, is a start
    // that failed (each failure has said what failed on stderr).
    const int startSignal = Sys_EndSignal();
    const bool startFailed = quitRequests != 0 && startCancelled == 0;

    while (quitRequests == 0) {
        runTimeline();
        pumpOneMessage();
        swapFrame();
        clearFrame();
    }

    closeDisplay();
    stopMusic();
    if (startSignal != 0) return 128 + startSignal;
    return startFailed ? 1 : (int)queueMessage.wParam;
}
