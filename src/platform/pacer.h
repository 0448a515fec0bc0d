// pacer.h -- keeps a backend's presents at no more than 60 a second, the rate
// the show counts its motion in. Shared by every backend's GLimp_SwapBuffers;
// it knows nothing of the toolkit or the OS: time and sleep come in through a
// PacerClock.
//
// How a backend uses it:
//
//   At display open, read the display's refresh rate (Hz, 0 when unknown) and
//   ask the GL for swap interval pacerSwapInterval(refresh): k on a display
//   of k x 60 Hz (within 0.5 Hz: 60, 120, 240), else 1. Then pacerStart().
//
//   Around every present:
//       pacerBeforePresent(&pacer);   // may wait for the present's deadline
//       ...swap buffers...
//       pacerAfterPresent(&pacer);    // measures what the swap did
//
// The pacer trusts the swap interval only as long as the presents it measures
// come at no more than 60 a second. When they come faster (the interval is
// not honoured: software GL, Xvfb, a driver set to ignore it, or a 75, 144 or
// 165 Hz display), it paces them on the clock from then on: each present
// waits for its deadline, one 60th of a second after the last one, sleeping
// and then spinning only the last fraction of a millisecond. After a slow
// frame that leaves it more than two frames behind, the deadline restarts
// from now rather than rushing to catch up. A display slower than 60 Hz, or a
// machine that cannot draw 60 frames a second, presents at its own rate.
//
// Worth knowing:
//   - Judging takes at least 9 presents: where the interval is not honoured,
//     the first few presents after pacerStart may come faster than 60.
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
};

// std::chrono::steady_clock and std::this_thread::sleep_for.
PacerClock pacerSystemClock();

enum : int { kPacerWindow = 120 };  // presents measured to judge the interval

struct Pacer {
    PacerClock clock;
    bool pacing;  // presents are paced on the clock
    bool haveDeadline;
    double deadline;                  // of the last paced present
    double stamps[kPacerWindow + 1];  // when the latest presents returned, a ring
    long long stampCount;             // presents measured so far (the ring holds the latest)
};

const double kPacerPeriod = 1.0 / 60.0;
// Presents wait on a spin for at most this long before their deadline.
const double kPacerSpin = 0.0005;

// The swap interval to ask for on a display refreshing refreshHz times a
// second: k where refreshHz is k x 60 within 0.5 Hz, else 1 (also when the
// rate is unknown, 0).
int pacerSwapInterval(double refreshHz);
// Starts (or restarts, after a new interval was asked for) trusting the swaps
// and measuring them afresh.
void pacerStart(Pacer *pacer, PacerClock clock);
// Waits for this present's deadline while pacing; returns at once otherwise.
void pacerBeforePresent(Pacer *pacer);
// Records when the present returned; starts pacing when the latest presents
// came faster than 60 a second.
void pacerAfterPresent(Pacer *pacer);
