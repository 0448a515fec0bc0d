// testing_off.cpp -- the shipped programs' side of the test seams
// (platform_internal.h): no failure is ever injected, no message box
// captured, the song's own order and the player's own version reported, the
// sound output's own clock read, the presents timed on the system's clock.
#include "platform/platform_internal.h"

bool sysShouldFail(const char *) { return false; }

bool sysMessageBoxCaptured(PlatformWindow, const char *, const char *) { return false; }

bool sysOrderFixed(int *) { return false; }

float sysVersionFixed() { return 0.0f; }

uint64_t sysOutputClockBack() { return 0; }

bool sysPresentClockFixed(PacerClock *) { return false; }
