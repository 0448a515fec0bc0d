// queued_display.cpp -- an LD_PRELOAD library over SDL2 that makes the swap
// on Xvfb behave as the displays most viewers own: the display refreshes
// KAVELD_QUEUED_HZ times a second (60.5 by default) while reporting
// KAVELD_QUEUED_REPORTED_HZ (60); a frame goes to the screen at a refresh, no
// sooner than `interval` refreshes after the last one; a swap returns at once
// while fewer than KAVELD_QUEUED_FRAMES frames (1) other than its own wait to
// be shown, and otherwise waits for the oldest to be shown (as DRI3 drivers,
// proprietary drivers and compositors do). Interval 0 waits for nothing.
// With KAVELD_QUEUED_LOG naming a file, each frame's refresh index (refresh
// n is at n / rate seconds of the monotonic clock) goes there, one a line.
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

// Owned by SDL_GL_SwapWindow and SDL_GL_SetSwapInterval, on the presenting thread.
struct Display {
    bool ready = false;
    double refreshHz = 60.5, reportedHz = 60;
    size_t queued = 1;
    int interval = 1;
    long long lastShown = -1000000;
    std::deque<long long> pending;  // refreshes at which frames will show
    FILE *log = nullptr;
} display;

template <typename F>
F real(const char *name) {
    return (F)dlsym(RTLD_NEXT, name);
}

double envNumber(const char *name, double fallback) {
    const char *value = std::getenv(name);
    return value && *value ? std::atof(value) : fallback;
}

void setUp() {
    if (display.ready) return;
    display.ready = true;
    display.refreshHz = envNumber("KAVELD_QUEUED_HZ", 60.5);
    display.reportedHz = envNumber("KAVELD_QUEUED_REPORTED_HZ", 60);
    display.queued = (size_t)std::max(1.0, envNumber("KAVELD_QUEUED_FRAMES", 1));
    const char *log = std::getenv("KAVELD_QUEUED_LOG");
    if (log && *log && (display.log = std::fopen(log, "w"))) setvbuf(display.log, nullptr, _IOLBF, 0);
}

double monotonicNow() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void sleepUntil(double t) {
    timespec ts = {(time_t)t, (long)((t - std::floor(t)) * 1e9)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {}
}

}  // namespace

extern "C" {

void SDL_GL_SwapWindow(SDL_Window *window) {
    static auto swap = real<void (*)(SDL_Window *)>("SDL_GL_SwapWindow");
    setUp();
    swap(window);  // Xvfb takes the image at once; the display's timing follows
    if (display.interval == 0) return;
    double hz = display.refreshHz, t = monotonicNow();
    while (!display.pending.empty() && display.pending.front() / hz <= t) display.pending.pop_front();
    while (display.pending.size() >= display.queued) {
        sleepUntil(display.pending.front() / hz);
        t = std::max(monotonicNow(), display.pending.front() / hz);
        display.pending.pop_front();
    }
    long long at = std::max((long long)std::floor(t * hz) + 1, display.lastShown + display.interval);
    display.lastShown = at;
    display.pending.push_back(at);
    if (display.log) std::fprintf(display.log, "%lld\n", at);
}

int SDL_GL_SetSwapInterval(int interval) {
    static auto setInterval = real<int (*)(int)>("SDL_GL_SetSwapInterval");
    setUp();
    display.interval = std::max(0, interval);
    setInterval(0);  // Xvfb's own swap never waits
    return 0;
}

int SDL_GetCurrentDisplayMode(int index, SDL_DisplayMode *mode) {
    static auto current = real<int (*)(int, SDL_DisplayMode *)>("SDL_GetCurrentDisplayMode");
    setUp();
    int result = current(index, mode);
    if (result == 0) mode->refresh_rate = (int)display.reportedHz;
    return result;
}
}
