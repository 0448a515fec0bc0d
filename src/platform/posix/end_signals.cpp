// end_signals.cpp -- Ctrl-C and SIGTERM as a request to end (POSIX
// sigaction): the handler only records the signal; the message pump turns it
// into a quit message once, and the show shuts down as it always does.
#include <signal.h>

#include <initializer_list>

#include "platform/platform_internal.h"

namespace {

volatile sig_atomic_t endSignal = 0;  // written only by the handler
bool endSignalTaken = false;          // owned by sysTakeEndSignal
bool handlersInstalled = false;       // owned by Sys_CatchEndSignals

void onEndSignal(int number) { endSignal = number; }

}  // namespace

void Sys_CatchEndSignals() {
    if (handlersInstalled) return;
    handlersInstalled = true;
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    action.sa_flags = SA_RESTART | SA_RESETHAND;  // files keep reading; a second signal is not caught
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM}) {
        struct sigaction inherited;
        bool ignored = sigaction(number, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN;
        if (!ignored) sigaction(number, &action, nullptr);  // a signal the caller ignores stays ignored
    }
}

int Sys_EndSignal() { return endSignal; }

int sysTakeEndSignal() {
    if (endSignalTaken || endSignal == 0) return 0;
    endSignalTaken = true;
    return endSignal;
}
