// display.cpp -- the template backend's display mode and its side of the
// present (see windows.cpp for what the template is). GLimp_SwapBuffers and
// GLimp_SetSwapInterval are shared (present.cpp): they pace around the hooks
// below.
#include "platform/platform_internal.h"

// w x h at bpp with the window full screen over it, at the refresh
// pacerChooseRefresh prefers (pacer.h); false when
// sysShouldFail("ChangeDisplayMode") or the mode cannot be set. w == 0
// puts back the desktop mode and always succeeds (also with no window).
bool GLimp_ChangeDisplayMode(PlatformWindow, int w, int, int) { return w == 0; }

// Whether a present to dc goes to a display, and whether the pacer holds it
// to 60 a second: kSysPresentPaced for a display that can block the program,
// kSysPresentUnpaced where nothing may wait, kSysPresentDropped when dc is
// no display's.
SysPresentPacing sysBackendPresentPacing(PlatformDc) { return kSysPresentDropped; }

// The clock the pacer waits on: pacerSystemClock() (which a test may fix),
// or one the backend knows better (the browser's animation frames).
PacerClock sysBackendPacerClock() { return pacerSystemClock(); }

// The native swap of the display window behind dc; returns once it has.
void sysBackendSwapBuffers(PlatformDc) {}

// The show asked for a swap interval: asks the GL for
// sysPresentFollowRefresh(the display's refresh) while a context is current.
void sysBackendSetSwapInterval() {}
