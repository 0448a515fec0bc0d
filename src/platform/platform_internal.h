// platform_internal.h -- what the platform's common code and its backends
// share: the window registry, the class table, the test seams and the window
// and present hooks each backend provides. Never included outside src/platform.
#pragma once

#include "platform/pacer.h"
#include "platform/platform.h"

enum SysWindowType : int { kSysWindowFree = 0, kSysWindowOptions, kSysWindowButton, kSysWindowDisplay };

struct SysWindow {
    SysWindowType type;
    PlatformWindowProc proc;  // from the window's class; null for buttons
    PlatformWindow parent;    // buttons: the options window
    int controlId;
    PlatformButtonKind buttonKind;
    bool checked;
    void *native;     // backend's own handle
    uint32_t serial;  // which window this is: a handle is used again once its window is gone
};

enum : int { kSysMaxWindows = 32 };

// Registry. Handles are 1..kSysMaxWindows; 0 is none.
SysWindow *sysWindow(PlatformWindow window);  // null when free or out of range
PlatformWindow sysAllocWindow(SysWindowType type, PlatformWindowProc proc, PlatformWindow parent);
// The entry of a button every backend's Sys_CreateButton starts from: after
// the failure seam "CreateButton", under an options window, its id and kind
// set. 0 when the seam fails, the parent is no options window or the
// registry is full.
PlatformWindow sysAllocButton(PlatformWindow parent, PlatformButtonKind kind, int id);
// Frees an entry whose native window could not be made (no kMsgDestroy).
void sysForgetWindow(PlatformWindow window);
const PlatformWindowClass *sysFindClass(const char *name);
uint32_t sysNowMs();
bool sysQueueEmpty();  // no message waits in the queue
// Icon resource 101 as 32x32 RGBA pixels (from res/kaveld_icon.xpm).
const uint32_t *sysIconRgba();
// The signal caught by Sys_CatchEndSignals, once; 0 before and after.
int sysTakeEndSignal();

// Device contexts where the GL offers one pixel format (sdl_gl/, web/), in
// one_pixel_format.cpp beside the contract's release, choose and set steps:
// sysDcOpen for GLimp_GetDc, once the caller has checked the window; the
// display window a context draws on (0 when it is gone); whether the one
// format was set.
PlatformDc sysDcOpen(PlatformWindow window);
PlatformWindow sysDcWindow(PlatformDc dc);
bool sysDcHasFormat(PlatformDc dc);

// The test seams: platform_testing.cpp in the tests, benchmarks and fuzzers,
// testing_off.cpp (always false) in the shipped programs.
// True (and one count used up) when a failure was injected for this step.
bool sysShouldFail(const char *step);
// True when a test took the message box instead of the screen.
bool sysMessageBoxCaptured(PlatformWindow owner, const char *text, const char *caption);
// True, with the order to report, while a test fixes the song's order.
bool sysOrderFixed(int *order);
// The player version a test fixed; 0 when none.
float sysVersionFixed();
// The frames a test set the sound output's clock back by; 0 when none.
uint64_t sysOutputClockBack();
struct PacerClock;
// True, with the clock in *clock, while a test times the presents on a clock
// of its own (pacerSystemClock hands it out).
bool sysPresentClockFixed(PacerClock *clock);

// Provided by each backend's windows.cpp.
void sysBackendPump();  // native events -> Sys_PostMessage
void sysBackendDestroyNative(PlatformWindow window, SysWindow *entry);
void sysBackendSetCheck(PlatformWindow window, SysWindow *entry);
void sysBackendShowMessageBox(PlatformWindow owner, const char *text, const char *caption);
PlatformWindow sysBackendFocus();

// The present every backend shares (present.cpp): GLimp_SwapBuffers paces
// around sysBackendSwapBuffers; GLimp_SetSwapInterval starts the pacer afresh
// and calls sysBackendSetSwapInterval. Following the display's refresh
// (pacerFollowDisplay): the interval to ask of the GL, the show's times the
// whole multiple of 60 Hz that refreshHz is (0 when the show asked for 0);
// -1 before any present or interval started the pacer (nothing to ask yet).
int sysPresentFollowRefresh(double refreshHz);

// Provided by each backend's display.cpp.
enum SysPresentPacing : int {
    kSysPresentDropped = 0,  // dc is no display's: nothing is presented
    kSysPresentUnpaced,      // nothing to wait for (an offscreen surface, the browser's deterministic mode)
    kSysPresentPaced,        // the pacer holds it to 60 a second (unless the show asked for interval 0)
};
SysPresentPacing sysBackendPresentPacing(PlatformDc dc);
// The clock the pacer waits on: pacerSystemClock() where the backend may block.
PacerClock sysBackendPacerClock();
// Hands dc's back buffer to the display; returns once the swap has returned.
void sysBackendSwapBuffers(PlatformDc dc);
// The show asked for a swap interval: asks the GL for sysPresentFollowRefresh
// of the display's refresh (nothing where presents never wait).
void sysBackendSetSwapInterval();
