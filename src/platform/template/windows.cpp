// windows.cpp -- the template backend's windows: what a new port writes
// first. Each function says what it must do; every one fails or does
// nothing here, so the folder builds (and links the contract suite) in CI
// and cannot go stale. Copy the folder, rename it, fill in the functions.
#include "platform/platform_internal.h"

// A visible, fixed-size top-level window of a registered class
// (sysFindClass), with caption and close box, outer size w x h at (x, y):
// 0 when sysShouldFail("CreateOptionsWindow"), the class is unknown or no
// display can be opened (say so once, with Sys_ReportFailure). Enter it in
// the registry: sysAllocWindow(kSysWindowOptions, class->proc, 0), the
// native window in its `native`.
PlatformWindow Sys_CreateOptionsWindow(const char *, const char *, int, int, int, int) { return 0; }

// A native push button, check box or radio button in the options window,
// at client (x, y): its registry entry from sysAllocButton (0 when the step
// is to fail or the parent is not an options window), sysForgetWindow(it)
// when the native control cannot be made. Its mark is never changed by a click; a click queues
// kMsgLButtonUp (wParam 0) for the button, the second press of a double click
// on a radio button kMsgLButtonDblClk; Space let go while it has the keyboard
// queues kMsgKeyUp kVkSpace for it.
PlatformWindow Sys_CreateButton(PlatformWindow, PlatformButtonKind, const char *, int, int, int, int, int) { return 0; }

// The display window (kSysWindowDisplay): borderless and over everything,
// cursor hidden, for full screen; else caption and close box, not resizable;
// raised with the keyboard. 0 when sysShouldFail("CreateWindow"). A live
// backend calls Sys_CatchEndSignals here: from the display's opening on, an
// end signal must end the show through its shutdown.
PlatformWindow GLimp_CreateWindow(const char *, const char *, bool, int, int, int, int) { return 0; }

// Native events into Sys_PostMessage: the close box as kMsgClose; keys as
// kMsgKeyDown / kMsgKeyUp with the virtual-key codes (kVkEscape 27,
// kVkReturn, kVkSpace, 'A'..'Z', '0'..'9'; lParam 1 for a repeat); clicks as
// above. Never waits while a display window is open; with none open and the
// queue empty, waits up to 20 ms for native events.
void sysBackendPump() {}

// Hides a display window rather than freeing it (its GL context may still
// be current for the rest of the frame); frees anything else. Called by
// Sys_DestroyWindow before kMsgDestroy is sent.
void sysBackendDestroyNative(PlatformWindow, SysWindow *) {}

// Shows entry->checked as the native control's mark.
void sysBackendSetCheck(PlatformWindow, SysWindow *) {}

// A modal box with caption, text and an OK button, owned by the owner's
// native window; waits for OK. When it cannot show, one failure line.
void sysBackendShowMessageBox(PlatformWindow, const char *text, const char *caption) {
    Sys_ReportFailure("[%s] %s", caption, text);
}

// The registry id of the native window with the keyboard; 0 when none.
PlatformWindow sysBackendFocus() { return 0; }
