// display.cpp -- the template backend's display mode and present (see
// windows.cpp for what the template is).
#include "platform/platform_internal.h"

// w x h at bpp with the window full screen over it, at the refresh
// pacerChooseRefresh prefers (pacer.h); false when
// sysShouldFail("ChangeDisplayMode") or the mode cannot be set. w == 0
// puts back the desktop mode and always succeeds (also with no window).
bool GLimp_ChangeDisplayMode(PlatformWindow, int w, int, int) { return w == 0; }

// The present: the native swap of the display window behind dc, paced to
// at most 60 a second through pacer.h on pacerSystemClock() (which a test
// may fix) unless the show asked for interval 0.
void GLimp_SwapBuffers(PlatformDc) {}

// Asks the GL for interval x the whole multiple of 60 Hz the display
// refreshes at (pacerFollowDisplay), and starts the pacer afresh.
// Nothing while no context is current.
void GLimp_SetSwapInterval(int) {}
