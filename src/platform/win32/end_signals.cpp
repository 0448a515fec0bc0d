// end_signals.cpp -- the console and the requests to end that come through
// it. The program is a GUI program: started from a console (cmd.exe) it
// takes its parent's console before main runs, so that its failure lines
// appear there and Ctrl-C reaches it; started from Explorer there is none
// and nothing changes. Ctrl-C, Ctrl-Break and closing the console ask the
// show to end (SetConsoleCtrlHandler): the handler records the first as the
// signal number a POSIX system would give (SIGINT for Ctrl-C, SIGTERM for the
// others); the message pump turns it into a quit message once, and the show
// shuts down as it always does. Every later event is taken too, the show
// being on its way out already. Windows ends the process as soon as the
// handler of a closing console returns (and a few seconds later in any
// case), so that handler waits for the shutdown, which ends the process.
#include <csignal>
#include <cstdio>

#include "platform/win32/win32_internal.h"

namespace {

volatile LONG endSignal = 0;    // written only by the handler's thread
bool endSignalTaken = false;    // owned by sysTakeEndSignal
bool handlerInstalled = false;  // owned by Sys_CatchEndSignals

// The parent's console, when there is one; stderr goes to it unless it was
// redirected (then it keeps its file or pipe).
bool attachParentConsole() {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    bool redirected = err && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    if (!redirected) freopen("CONOUT$", "w", stderr);
    return true;
}

const bool consoleAttached = attachParentConsole();  // set once, before main

BOOL WINAPI onConsoleEvent(DWORD event) {
    InterlockedCompareExchange(&endSignal, event == CTRL_C_EVENT ? SIGINT : SIGTERM, 0);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
    Sleep(INFINITE);  // the console closes: the process ends when the shutdown has run
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
