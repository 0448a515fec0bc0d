// end_signals.cpp -- the template backend's requests to end (see
// windows.cpp for what the template is). A POSIX system takes
// posix/end_signals.cpp instead.

#include "platform/platform_internal.h"

// Installs, once, handlers that record the first request to end (its POSIX
// signal number) and take every later one without effect; a signal the
// program was started with ignored stays ignored.
void Sys_CatchEndSignals() {}

// The first request recorded; 0 while none.
int Sys_EndSignal() { return 0; }

// The first request, once (the message pump queues its quit); 0 after.
int sysTakeEndSignal() { return 0; }
