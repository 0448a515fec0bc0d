// end_signals.cpp -- Ctrl-C, Ctrl-Break and closing the console as a
// request to end (SetConsoleCtrlHandler): the handler only records it, as the
// signal number a POSIX system would give; the message pump turns it into a
// quit message once, and the show shuts down as it always does.
#include <csignal>

#include "platform/win32/win32_internal.h"

namespace {

volatile LONG endSignal = 0;    // written only by the handler's thread
bool endSignalTaken = false;    // owned by sysTakeEndSignal
bool handlerInstalled = false;  // owned by Sys_CatchEndSignals

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (endSignal != 0) return FALSE;  // a second request ends the process at once
    InterlockedExchange(&endSignal, event == CTRL_C_EVENT ? SIGINT : SIGTERM);
    return TRUE;
}

}  // namespace

void Sys_CatchEndSignals() {
    if (handlerInstalled) return;
    handlerInstalled = true;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

int Sys_EndSignal() { return (int)endSignal; }

int sysTakeEndSignal() {
    if (endSignalTaken || endSignal == 0) return 0;
    endSignalTaken = true;
    return (int)endSignal;
}
