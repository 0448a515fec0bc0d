// pacer_test.cpp -- the present pacer on a simulated clock: a frame loop that
// draws for a while and then presents through a simulated swap.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/pacer.h"

namespace {

// Time moves only by sleeping, drawing and swapping, and by a microsecond
// each time it is read (so a spin ends).
struct SimClock {
    double t = 100.0;
    double oversleep = 0.0;  // every sleep lasts this much longer
    int sleeps = 0;
};

double simNow(void *user) {
    SimClock *c = (SimClock *)user;
    c->t += 1e-6;
    return c->t;
}

void simSleep(void *user, double seconds) {
    SimClock *c = (SimClock *)user;
    c->t += seconds + c->oversleep;
    c->sleeps++;
}

struct Show {
    SimClock clock;
    Pacer pacer;
    double refreshHz = 0;  // 0: the swap returns at once; else it waits for the next refresh
    std::vector<double> presents;

    Show() { pacerStart(&pacer, PacerClock{simNow, simSleep, &clock}); }

    void frame(double drawSeconds) {
        clock.t += drawSeconds;
        pacerBeforePresent(&pacer);
        if (refreshHz > 0) clock.t = (std::floor(clock.t * refreshHz) + 1) / refreshHz;
        presents.push_back(clock.t);
        pacerAfterPresent(&pacer);
    }
    void frames(int n, double drawSeconds) {
        for (int i = 0; i < n; i++) frame(drawSeconds);
    }
    double rate(size_t from, size_t to) const { return (to - from) / (presents[to] - presents[from]); }
};

TEST(Pacer, SwapIntervalIsTheWholeMultipleOf60) {
    const struct {
        double hz;
        int interval;
    } cases[] = {{60, 1}, {59.7, 1}, {60.5, 1}, {120, 2}, {119.88, 2}, {180, 3},  {240, 4},   {0, 1},
                 {30, 1}, {50, 1},   {75, 1},   {144, 1}, {165, 1},    {60.6, 1}, {120.6, 1}, {-60, 1}};
    for (const auto &c : cases) EXPECT_EQ(pacerSwapInterval(c.hz), c.interval) << c.hz << " Hz";
}

// A swap that does not wait (software GL): after a handful of fast presents,
// exactly 60 a second, slept for, not spun; sleeps that return late make
// late presents but no drift.
TEST(Pacer, UnhonouredIntervalIsPacedTo60) {
    Show show;
    show.frames(610, 0.002);
    ASSERT_TRUE(show.pacer.pacing);
    for (size_t i = 10; i < show.presents.size(); i++)
        ASSERT_NEAR(show.presents[i] - show.presents[i - 1], 1.0 / 60, 2e-5) << "present " << i;
    EXPECT_GE(show.clock.sleeps, 590);

    Show late;
    late.clock.oversleep = 0.002;
    late.frames(620, 0.001);
    EXPECT_NEAR(late.rate(20, 619), 60.0, 0.01);
}

// An honoured interval on a 60 Hz display, a 50 Hz display, a machine
// drawing 40 frames a second: the swaps alone set the rate.
TEST(Pacer, SwapsAtOrBelow60AreTrusted) {
    const struct {
        double refreshHz, drawSeconds, rate;
    } cases[] = {{60, 0.004, 60}, {59.94, 0.004, 59.94}, {50, 0.001, 50}, {0, 0.025, 40}};
    for (const auto &c : cases) {
        Show show;
        show.refreshHz = c.refreshHz;
        show.frames(600, c.drawSeconds);
        EXPECT_FALSE(show.pacer.pacing) << c.refreshHz << " Hz";
        EXPECT_EQ(show.clock.sleeps, 0) << c.refreshHz << " Hz";
        EXPECT_NEAR(show.rate(0, 599), c.rate, 0.05) << c.refreshHz << " Hz";
    }
}

// Displays faster than 60 Hz at interval 1, a hair faster included: paced,
// 60 a second on average.
TEST(Pacer, FastDisplayIsPacedTo60) {
    for (double hz : {144.0, 75.0, 61.0}) {
        Show show;
        show.refreshHz = hz;
        show.frames(1500, 0.002);
        EXPECT_TRUE(show.pacer.pacing) << hz << " Hz";
        EXPECT_NEAR(show.rate(300, 1499), 60.0, 0.1) << hz << " Hz";
    }
}

// A slow frame leaving the show more than two frames behind: the next
// present goes at once and the rest follow at 60 a second from it, with no
// rush to catch up. One less than that behind is caught up on the old grid.
TEST(Pacer, SlowFrameRestartsTheDeadline) {
    Show show;
    show.frames(60, 0.001);
    ASSERT_TRUE(show.pacer.pacing);
    double before = show.presents.back();
    show.frame(0.1);
    EXPECT_NEAR(show.presents.back(), before + 0.1, 1e-4);
    show.frames(5, 0.001);
    for (int i = 1; i <= 5; i++)
        EXPECT_NEAR(show.presents[60 + i] - show.presents[59 + i], 1.0 / 60, 2e-5) << "present " << i << " after";

    before = show.presents.back();
    show.frame(0.04);  // two frames behind: this present and the next go at once, then the old grid
    EXPECT_NEAR(show.presents.back(), before + 0.04, 1e-4);
    show.frame(0.001);
    EXPECT_NEAR(show.presents.back(), before + 0.041, 1e-4);
    show.frame(0.001);
    EXPECT_NEAR(show.presents.back(), before + 3.0 / 60, 2e-5);
}

}  // namespace
