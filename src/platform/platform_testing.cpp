// platform_testing.cpp -- the test seams (platform_testing.h) and the
// platform's side of them (platform_internal.h): injected failures, the
// message-box hook, the fixed order and version, the output's clock set
// back, the presents' clock. Linked by the tests, benchmarks and fuzzers only; the shipped
// programs link testing_off.cpp.
#include <string>
#include <utility>
#include <vector>

#include "platform/platform_internal.h"
#include "platform/platform_testing.h"

namespace {

// All owned here, set by the test that runs.
std::vector<std::pair<std::string, int>> injectedFailures;
PlatformMessageBoxHook messageBoxHook = nullptr;
float versionOverride = 0.0f;
bool orderOverridden = false;
int orderOverride = 0;
uint64_t outputClockBack = 0;
bool presentClockFixed = false;
PacerClock presentClock;

}  // namespace

void Sys_InjectFailure(const char *step, int count) { injectedFailures.emplace_back(step, count); }

void Sys_SetMessageBoxHook(PlatformMessageBoxHook hook) { messageBoxHook = hook; }

void Snd_OverrideVersion(float version) { versionOverride = version; }

void Snd_OverrideOrder(bool on, int order) {
    orderOverridden = on;
    orderOverride = order;
}

void Snd_SetOutputClockBack(uint64_t frames) { outputClockBack = frames; }

void Sys_SetPresentClock(const PacerClock *clock) {
    presentClockFixed = clock != nullptr;
    if (clock) presentClock = *clock;
}

bool Sys_GetButtonCheck(PlatformWindow button) {
    SysWindow *entry = sysWindow(button);
    return entry && entry->checked;
}

bool sysShouldFail(const char *step) {
    for (auto &f : injectedFailures) {
        if (f.first == step && f.second > 0) {
            f.second--;
            return true;
        }
    }
    return false;
}

bool sysMessageBoxCaptured(PlatformWindow owner, const char *text, const char *caption) {
    if (messageBoxHook) messageBoxHook(owner, text, caption);
    return messageBoxHook != nullptr;
}

bool sysOrderFixed(int *order) {
    if (orderOverridden) *order = orderOverride;
    return orderOverridden;
}

float sysVersionFixed() { return versionOverride; }

uint64_t sysOutputClockBack() { return outputClockBack; }

bool sysPresentClockFixed(PacerClock *clock) {
    if (presentClockFixed) *clock = presentClock;
    return presentClockFixed;
}
