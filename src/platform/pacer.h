// pacer.h -- keeps a backend's presents at no more than 60 a second, the rate
// the show counts its motion in. Shared by every backend's GLimp_SwapBuffers;
// it knows nothing of the toolkit or the OS: time and sleep come in through a
// PacerClock. Beside it, the full-screen mode choice every backend makes.
//
// How a backend uses it:
//
//   At display open: pacerStart(), then read the display's refresh rate (Hz,
//   0 when unknown) and ask the GL for the swap interval that
//   pacerFollowDisplay(refresh) returns: k on a display of k x 60 Hz (within
//   0.5 Hz: 60, 120, 240), else 1. Read the refresh again and call
//   pacerFollowDisplay() again whenever the window may have moved to another
//   display or the display mode changed; when the interval it returns differs
//   from the one asked for, ask for the new one.
//
//   Around every present (the shared present, present.cpp, does this around
//   each backend's swap):
//       pacerBeforePresent(&pacer);   // may wait for the present's deadline
//       ...swap buffers...
//       pacerAfterPresent(&pacer);    // measures what the swap did
//
// How the display is judged: the pacer trusts the swap interval as long as the
// swaps are seen to wait for the display. A display that waits lets at most a
// few frames queue ahead of its refreshes: the present n frames after another
// returns no sooner than n - q refreshes after it, where q frames may queue,
// and one more for a timestamp taken late (the next frame cannot go to the
// display before it). So the swaps are judged to wait until some run of n
// presents takes less time than n - kPacerQueueAllowance presents at
// kPacerMaxRate a second would. Nothing a waiting display does trips that: not
// the queue filling after a pause (the loading), nor a late timestamp, nor a
// slow frame, at any rate up to 60.5 a second (60.5 Hz, or 121 Hz at interval
// 2). A display that does not wait (software GL, Xvfb, a driver set to
// ignore the interval) is caught after 5 or 6 presents; one that waits at a
// rate not near a multiple of 60 within a third of a second (144 or 165 Hz
// after 8 presents, 75 Hz after about 20); one at 61 Hz only after about ten
// seconds.
//
// From then on each present waits for its deadline, one 60th of a second
// after the last one, sleeping and then spinning only the last fraction of a
// millisecond. After a slow frame that leaves it more than two frames behind,
// the deadline restarts from now rather than rushing to catch up. A display
// slower than 60 Hz, or a machine that cannot draw 60 frames a second,
// presents at its own rate.
//
// Judging goes on for the whole run. A display paced on the clock cannot show
// that its swaps wait again (paced below its refresh, a queueing display never
// fills its queue), so now and then the pacer probes: it paces at
// kPacerProbeRate a second for up to kPacerProbePresents presents and judges
// them the same way. A display that waits keeps them to its refresh and is
// trusted again; one that does not is caught within the probe and paced again.
// A probe costs a display that does not wait about four frames shown a little
// early. The first probe comes 2 seconds after pacing starts; each later one
// twice as long after the last, up to 32 seconds apart.
//
// Worth knowing:
//   - The clock's sleep must be fine-grained (well under a millisecond late
//     on a quiet machine), or presents come late by what it oversleeps (they
//     keep their 60 a second on average: deadlines stay on their grid). On
//     Windows, whose default timer ticks every 15.6 ms, raise the timer
//     resolution while the display is open (timeBeginPeriod(1)) or pass a
//     clock of your own that waits on a high-resolution timer.
//   - One Pacer per display window, used from the thread that presents.
//   - A backend asked for interval 0 (benchmarks of drawing speed) presents
//     without calling the pacer at all.
#pragma once

struct PacerClock {
    double (*now)(void *user);                  // seconds on a monotonic clock
    void (*sleep)(void *user, double seconds);  // may return early or late
    void *user;
    // When the present just made returned, where the backend knows it better
    // than now (the browser: the animation frame it returned at); null: now.
    double (*returned)(void *user);
};

// std::chrono::steady_clock and std::this_thread::sleep_for (or the clock a
// test fixed: Sys_SetPresentClock in platform_testing.h).
PacerClock pacerSystemClock();

const double kPacerPeriod = 1.0 / 60.0;
// Presents wait on a spin for at most this long before their deadline.
const double kPacerSpin = 0.0005;
// The fastest a display that waits may present (60.5 Hz, with a little for
// its clock against ours), and the presents it may run ahead of that: up to
// three queued frames and a late timestamp.
const double kPacerMaxRate = 60.6;
const double kPacerQueueAllowance = 4.0;
// A probe paces at this rate for at most this many presents.
const double kPacerProbeRate = 72.0;
enum : int { kPacerProbePresents = 48 };
// Seconds from the start of pacing to the first probe, and the most between two.
const double kPacerFirstProbe = 2.0;
const double kPacerLongestProbeWait = 32.0;

enum PacerState : int {
    kPacerTrusting,  // the swaps wait for the display; presents go at once
    kPacerPacing,    // presents wait for deadlines 1/60 s apart
    kPacerProbing,   // presents wait for deadlines 1/kPacerProbeRate apart, to see whether the swaps wait
};

struct Pacer {
    PacerClock clock;
    PacerState state;
    double refreshHz;  // as last read by the backend; -1 before
    int interval;      // the swap interval chosen for it
    bool haveDeadline;
    double deadline;  // of the last paced present
    // Judging: presents measured since it last began, and the highest lead of
    // any of them (its timestamp less its index over kPacerMaxRate).
    long long measured;
    double highestLead;
    double probeWait;  // from the start of pacing to the next probe
    double nextProbe;  // clock time of the next probe, while pacing
    int probed;        // presents of the probe so far
};

// The swap interval to ask for on a display refreshing refreshHz times a
// second: k where refreshHz is k x 60 within 0.5 Hz, else 1 (also when the
// rate is unknown, 0).
int pacerSwapInterval(double refreshHz);
// Starts trusting the swaps and judging them afresh (at display open, or when
// the show asked for another interval).
void pacerStart(Pacer *pacer, PacerClock clock);
// The display's refresh rate, read anew; returns the swap interval to ask for
// (pacerSwapInterval). A rate other than the last one read starts the judging
// afresh: the display, or its mode, changed.
int pacerFollowDisplay(Pacer *pacer, double refreshHz);
// Waits for this present's deadline while pacing or probing; returns at once
// while trusting.
void pacerBeforePresent(Pacer *pacer);
// Records when the present returned and judges the display by it.
void pacerAfterPresent(Pacer *pacer);

// Of the refresh rates of the display modes of the chosen size and depth, the
// index of the one to switch to: the highest within 0.5 Hz of a whole multiple
// of 60 Hz; failing that, the lowest above 60 Hz (paced on the clock, it
// repeats the fewest refreshes); failing that, the highest there is. -1 when
// there are none. Rates of 0 are unknown and taken last.
int pacerChooseRefresh(const double *refreshHz, int count);
