// pacer_test.cpp -- the present pacer on a simulated clock and display: a
// frame loop that draws for a while and then presents through a simulated
// swap; and the full-screen refresh choice.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
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

// A display refreshing refreshHz times a second (0: none, the swap returns at
// once). A frame goes to the screen at a refresh, no sooner than `interval`
// refreshes after the last one. With queued == 0 the swap waits for its own
// frame to be shown; with queued == q it returns as soon as fewer than q
// other frames wait to be shown (so a swap with nothing pending returns at
// once). waits == false: the interval is ignored.
struct SimDisplay {
    double refreshHz = 0;
    int interval = 1;
    int queued = 0;
    bool waits = true;
    long long lastShown = -1000000;  // refresh index of the last frame shown
    std::deque<long long> pending;   // refreshes at which queued frames will show
    long long repeated = 0;          // refreshes that showed no new frame
    long long shown = 0;

    // Returns when the swap made at time t returns.
    double swap(double t) {
        if (refreshHz <= 0 || !waits) return t;
        while (!pending.empty() && pending.front() / refreshHz <= t) pending.pop_front();
        while (queued > 0 && (int)pending.size() >= queued) {
            t = std::max(t, pending.front() / refreshHz);
            pending.pop_front();
        }
        long long at = std::max((long long)std::floor(t * refreshHz) + 1, lastShown + interval);
        if (shown > 0) repeated += at - lastShown - interval;
        lastShown = at;
        shown++;
        if (queued == 0) return at / refreshHz;
        pending.push_back(at);
        return t;
    }
};

struct Show {
    SimClock clock;
    Pacer pacer;
    SimDisplay display;
    std::vector<double> presents;
    std::vector<PacerState> states;  // the pacer's state after each present
    double stallAfterNext = 0;       // the thread stalls this long after the next swap returns

    explicit Show(double refreshHz = 0, int queued = 0) {
        pacerStart(&pacer, PacerClock{simNow, simSleep, &clock, nullptr});
        display.refreshHz = refreshHz;
        display.queued = queued;
        display.interval = pacerFollowDisplay(&pacer, refreshHz);
    }

    void frame(double drawSeconds) {
        clock.t += drawSeconds;
        pacerBeforePresent(&pacer);
        clock.t = display.swap(clock.t);
        presents.push_back(clock.t);
        clock.t += stallAfterNext;  // the timestamp below comes late
        stallAfterNext = 0;
        pacerAfterPresent(&pacer);
        states.push_back(pacer.state);
    }
    void frames(int n, double drawSeconds) {
        for (int i = 0; i < n; i++) frame(drawSeconds);
    }
    void moveTo(double refreshHz) {
        display.refreshHz = refreshHz;
        display.interval = pacerFollowDisplay(&pacer, refreshHz);
    }
    double rate(size_t from, size_t to) const { return (to - from) / (presents[to] - presents[from]); }
    // The first present from `from` on in the given state; presents.size() when none.
    size_t firstIn(PacerState state, size_t from) const {
        while (from < states.size() && states[from] != state) from++;
        return from;
    }
};

TEST(Pacer, SwapIntervalIsTheWholeMultipleOf60) {
    const struct {
        double hz;
        int interval;
    } cases[] = {{60, 1}, {59.7, 1}, {60.5, 1}, {120, 2}, {119.88, 2}, {180, 3},  {240, 4},   {0, 1},
                 {30, 1}, {50, 1},   {75, 1},   {144, 1}, {165, 1},    {60.6, 1}, {120.6, 1}, {-60, 1}};
    for (const auto &c : cases) EXPECT_EQ(pacerSwapInterval(c.hz), c.interval) << c.hz << " Hz";
}

// Full screen: the highest near a multiple of 60, else the lowest above 60,
// else the highest.
TEST(Pacer, FullScreenRefreshChoice) {
    const struct {
        std::vector<double> rates;
        int chosen;
    } cases[] = {
        {{144, 120, 60}, 1},      {{60, 120, 240, 144}, 2}, {{59.94, 60.5}, 1},    {{165, 144, 75}, 2},
        {{144, 75, 50, 60.6}, 3}, {{50, 30, 0}, 0},         {{0, 0}, 0},           {{}, -1},
        {{75, 119.5, 0}, 1},      {{100, 165}, 0},          {{59.94, 50, 144}, 0}, {{121, 61}, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pacerChooseRefresh(c.rates.data(), (int)c.rates.size()), c.chosen)
            << ::testing::PrintToString(c.rates);
}

// A swap that does not wait (software GL): after a handful of fast presents,
// 60 a second, slept for, not spun, apart from the probes (72 a second for a
// moment, every so often less often); sleeps that return late make late
// presents but no drift.
TEST(Pacer, UnhonouredIntervalIsPacedTo60) {
    Show show;
    show.frames(3610, 0.002);
    size_t paced = show.firstIn(kPacerPacing, 0);
    EXPECT_LE(paced, 6u);
    int probeIntervals = 0;
    for (size_t i = paced + 2; i < show.presents.size(); i++) {  // the first paced present goes at once
        double step = show.presents[i] - show.presents[i - 1];
        if (std::fabs(step - 1.0 / 72) < 2e-5)
            probeIntervals++;
        else
            ASSERT_NEAR(step, 1.0 / 60, 2e-5) << "present " << i;
    }
    EXPECT_GT(probeIntervals, 0);
    EXPECT_LT(probeIntervals, 6 * 30);         // probes at 2, 6, 14, 30 s, a few dozen presents each
    EXPECT_LE(show.rate(paced, 3609), 60.35);  // the probes' early frames: a third of a frame a second
    EXPECT_GE(show.clock.sleeps, 3500);
    EXPECT_EQ(show.states.back(), kPacerPacing);

    Show late;
    late.clock.oversleep = 0.002;
    late.frames(120, 0.001);
    EXPECT_NEAR(late.rate(20, 119), 60.0, 0.01);  // before the first probe
}

// An honoured interval on a 60 Hz display, a 50 Hz display, a machine
// drawing 40 frames a second: the swaps alone set the rate.
TEST(Pacer, SwapsAtOrBelow60AreTrusted) {
    const struct {
        double refreshHz, drawSeconds, rate;
    } cases[] = {{60, 0.004, 60}, {59.94, 0.004, 59.94}, {50, 0.001, 50}, {0, 0.025, 40}};
    for (const auto &c : cases) {
        Show show(c.refreshHz);
        show.frames(600, c.drawSeconds);
        EXPECT_EQ(show.pacer.state, kPacerTrusting) << c.refreshHz << " Hz";
        EXPECT_EQ(show.clock.sleeps, 0) << c.refreshHz << " Hz";
        EXPECT_NEAR(show.rate(0, 599), c.rate, 0.05) << c.refreshHz << " Hz";
    }
}

// Displays that let one to three frames queue ahead, near a multiple of 60 Hz:
// the present, a pause (the loading), the loading fade's 201 presents drawn
// in no time, then the show, with a slow frame and a late timestamp. The
// swaps are trusted throughout, and no refresh repeats a frame but where the
// show itself was late.
TEST(Pacer, QueueingDisplaysAreTrustedThroughPausesAndSlowFrames) {
    for (double hz : {60.0, 60.5, 59.94, 120.0})
        for (int queued : {1, 2, 3}) {
            Show show(hz, queued);
            show.frame(0.001);
            show.clock.t += 1.5;
            show.frame(0.0002);
            long long paused = show.display.repeated;
            show.frames(200, 0.0002);
            show.frames(600, 0.004);
            long long onTime = show.display.repeated - paused;
            show.frame(0.05);  // a slow frame
            show.frames(300, 0.004);
            show.stallAfterNext = 0.03;  // a timestamp taken late
            show.frames(600, 0.004);
            SCOPED_TRACE(::testing::Message() << hz << " Hz, " << queued << " queued");
            EXPECT_EQ(show.firstIn(kPacerPacing, 0), show.presents.size());
            EXPECT_EQ(show.clock.sleeps, 0);
            EXPECT_EQ(onTime, 0);
            EXPECT_NEAR(show.rate(300, 800), hz / show.display.interval, 0.01);
            EXPECT_EQ(show.display.interval, hz > 100 ? 2 : 1);
        }
}

// A queueing 60.5 Hz display that stops waiting (its driver told to ignore
// the interval) is caught within a few presents; when it waits again, a
// probe trusts it again, and it shows every frame once more.
TEST(Pacer, DisplayThatStopsWaitingIsCaughtAndTrustedWhenItWaitsAgain) {
    Show show(60.5, 1);
    show.frames(300, 0.004);
    ASSERT_EQ(show.pacer.state, kPacerTrusting);
    show.display.waits = false;
    show.frames(600, 0.004);
    EXPECT_LE(show.firstIn(kPacerPacing, 300), 306u);
    EXPECT_NEAR(show.rate(310, 410), 60.0, 0.05);  // before the first probe

    show.display.waits = true;
    show.display.pending.clear();
    show.frames(2000, 0.004);
    size_t trusted = show.firstIn(kPacerTrusting, 900);
    EXPECT_LT(trusted, 900u + 60 * 10);  // at the next probe
    long long before = show.display.repeated;
    int sleeps = show.clock.sleeps;
    show.frames(1200, 0.004);
    EXPECT_EQ(show.firstIn(kPacerPacing, trusted), show.presents.size());
    EXPECT_EQ(show.display.repeated, before);
    EXPECT_EQ(show.clock.sleeps, sleeps);
    EXPECT_NEAR(show.rate(3000, 4099), 60.5, 0.01);
}

// Displays faster than 60 Hz at interval 1: paced, about 60 a second over
// the long run (the probes see they still do not wait); 61 Hz only after
// about ten seconds, and back now and then.
TEST(Pacer, FastDisplayIsPacedTo60) {
    for (double hz : {144.0, 75.0}) {
        Show show(hz);
        show.frames(3600, 0.002);
        EXPECT_LE(show.firstIn(kPacerPacing, 0), 30u) << hz << " Hz";
        EXPECT_NEAR(show.rate(300, 3599), 60.0, 0.3) << hz << " Hz";
    }
    Show show(61.0);
    show.frames(3600, 0.002);
    EXPECT_LT(show.firstIn(kPacerPacing, 0), 700u);
    EXPECT_LT(show.rate(0, 3599), 60.8);
}

// The display changes under the window: the interval is chosen again and the
// new display judged afresh.
TEST(Pacer, DisplayChangeChoosesTheIntervalAgain) {
    Show show(120.0, 1);
    show.frames(300, 0.004);
    EXPECT_EQ(show.display.interval, 2);
    show.moveTo(60.0);  // at interval 2 it would show 30 frames a second
    show.frames(300, 0.004);
    EXPECT_EQ(show.display.interval, 1);
    EXPECT_NEAR(show.rate(350, 599), 60.0, 0.01);

    show.moveTo(144.0);  // paced on the clock
    show.frames(300, 0.004);
    EXPECT_EQ(show.display.interval, 1);
    EXPECT_EQ(show.pacer.state, kPacerPacing);
    show.moveTo(240.0);  // trusted again at once, at interval 4
    show.frames(300, 0.004);
    EXPECT_EQ(show.display.interval, 4);
    EXPECT_EQ(show.firstIn(kPacerPacing, 900), show.presents.size());
    EXPECT_NEAR(show.rate(950, 1199), 60.0, 0.01);
    EXPECT_EQ(pacerFollowDisplay(&show.pacer, 240.0), 4);  // the same rate read again changes nothing
    EXPECT_EQ(show.pacer.measured, 300);
}

// A slow frame leaving the show more than two frames behind: the next
// present goes at once and the rest follow at 60 a second from it, with no
// rush to catch up. One less than that behind is caught up on the old grid.
TEST(Pacer, SlowFrameRestartsTheDeadline) {
    Show show;
    show.frames(60, 0.001);
    ASSERT_EQ(show.pacer.state, kPacerPacing);
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
