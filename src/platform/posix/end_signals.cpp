// end_signals.cpp -- Ctrl-C (SIGINT), SIGTERM, SIGHUP (the terminal closed)
// and SIGQUIT as a request to end (POSIX sigaction): the handler only
// records the first such signal, and stays in place for every later one; the
// message pump turns it into a quit message once, and the show shuts down as
// it always does.
#include <signal.h>

#include "platform/platform_internal.h"

namespace {

const int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
volatile sig_atomic_t endSignal = 0;  // written only by the handler
bool endSignalTaken = false;          // owned by sysTakeEndSignal
bool handlersInstalled = false;       // owned by Sys_CatchEndSignals

// The end signals are blocked while it runs, so two cannot race here.
void onEndSignal(int number) {
    if (endSignal == 0) endSignal = number;
}

}  // namespace

void Sys_CatchEndSignals() {
    if (handlersInstalled) return;
    handlersInstalled = true;
    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    action.sa_flags = SA_RESTART;  // files keep reading; later signals are caught too
    sigemptyset(&action.sa_mask);
    for (int number : kEndSignals) sigaddset(&action.sa_mask, number);
    for (int number : kEndSignals) {
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
