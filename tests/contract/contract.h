// contract.h -- the contract suite: cases written once against the platform
// contract (platform.h) and its test seams (platform_testing.h), run by one
// small runner (contract_main.cpp) on every backend, and the few hooks each
// backend's test side supplies (hooks_<backend>.cpp) to do what a viewer or
// the machine would: click a button, press a key, use a close box, read what
// the native side shows. A case a backend cannot do is skipped by name,
// with the reason its hooks give.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/platform_testing.h"

// ---------------------------------------------------------------- the runner

struct ContractCase {
    const char *name;  // "Group.What"
    void (*run)();
};
extern const ContractCase kContractCases[];
extern const int kContractCaseCount;

// Fails the running case; the check macros below also end it.
void contractFail(const char *file, int line, const std::string &what);
// A line under the running case (what it could not check, and why).
void contractNote(const char *text);
// A path in the run's own temporary folder, removed when the run ends.
std::string contractTempPath(const std::string &name);

// False, the running case failed, when a != b (both printed).
bool contractEqual(long long a, long long b, const char *what, const char *file, int line);

#define CONTRACT_CHECK(cond)                                         \
    do {                                                             \
        if (!(cond)) return contractFail(__FILE__, __LINE__, #cond); \
    } while (0)
#define CONTRACT_EQ(a, b)                                                                             \
    do {                                                                                              \
        if (!contractEqual((long long)(a), (long long)(b), #a " == " #b, __FILE__, __LINE__)) return; \
    } while (0)

// ---------------------------------------------------------------- each backend's hooks

// The backend's name, as the runner prints it.
extern const char *const kContractBackend;
// Why the backend cannot do the named case (or named part of one:
// "EndSignals.CaughtAsTheDisplayOpens"); null when it can.
const char *contractCannot(const char *caseName);
// A folder for the run's files, made fresh (the runner removes it).
std::string contractMakeTempFolder();
// Lets real time pass (the browser runs meanwhile); the offline backend
// renders that much of the playing song instead.
void contractLetTimePass(int milliseconds);

// Input as the native side receives it; the message pump then takes it.
void contractClick(PlatformWindow button);             // press and release on the button
void contractPressKey(PlatformWindow window, int vk);  // a key pressed while the window has the keyboard
void contractUseCloseBox(PlatformWindow window);       // the close box of a top-level window
bool contractNativeMark(PlatformWindow button);        // the mark the native control shows
std::string contractDisplayMode();                     // the mode the display shows now, as text
bool contractMakeFifo(const std::string &path);        // a FIFO in the file system
void contractIgnoreSignal(int number);                 // as the program's starter (nohup) would
void contractRaise(int number);                        // an end signal sent to the program
