// pacer.cpp -- at most 60 presents a second: trusts the swap interval while
// the swaps are seen to wait for the display, else waits for a deadline on a
// monotonic clock, probing now and then whether they wait again; and the
// full-screen refresh choice (see pacer.h).
#include "platform/pacer.h"

#include "platform/platform_internal.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

double steadyNow(void *) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void steadySleep(void *, double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double now(const Pacer *pacer) { return pacer->clock.now(pacer->clock.user); }

bool nearMultipleOf60(double refreshHz, int *multiple) {
    double k = std::round(refreshHz / 60.0);
    if (k < 1 || std::fabs(refreshHz - k * 60.0) > 0.5) return false;
    *multiple = (int)k;
    return true;
}

void beginJudging(Pacer *pacer) {
    pacer->measured = 0;
    pacer->highestLead = -HUGE_VAL;
}

void trust(Pacer *pacer) {
    pacer->state = kPacerTrusting;
    pacer->haveDeadline = false;
}

// Paced from now on; the next probe comes after the present wait, which
// doubles for the one after.
void pace(Pacer *pacer) {
    pacer->state = kPacerPacing;
    pacer->nextProbe = now(pacer) + pacer->probeWait;
    pacer->probeWait = std::min(2 * pacer->probeWait, kPacerLongestProbeWait);
}

void probe(Pacer *pacer) {
    pacer->state = kPacerProbing;
    pacer->probed = 0;
    beginJudging(pacer);
}

// True when the presents measured so far include a run of n that took less
// time than n - kPacerQueueAllowance presents at kPacerMaxRate: a run of
// presents from j to i is too fast exactly when present j's lead exceeds
// present i's by more than the allowance's time.
bool judgedTooFast(Pacer *pacer, double stamp) {
    double lead = stamp - (double)pacer->measured / kPacerMaxRate;
    pacer->measured++;
    pacer->highestLead = std::max(pacer->highestLead, lead);
    return pacer->highestLead - lead > kPacerQueueAllowance / kPacerMaxRate;
}

}  // namespace

PacerClock pacerSystemClock() {
    PacerClock fixed;
    if (sysPresentClockFixed(&fixed)) return fixed;
    return PacerClock{steadyNow, steadySleep, nullptr, nullptr};
}

int pacerSwapInterval(double refreshHz) {
    int k = 1;
    return nearMultipleOf60(refreshHz, &k) ? k : 1;
}

void pacerStart(Pacer *pacer, PacerClock clock) {
    *pacer = Pacer{};
    pacer->clock = clock;
    pacer->refreshHz = -1;
    pacer->interval = 1;
    pacer->probeWait = kPacerFirstProbe;
    trust(pacer);
    beginJudging(pacer);
}

int pacerFollowDisplay(Pacer *pacer, double refreshHz) {
    if (refreshHz != pacer->refreshHz) {
        pacerStart(pacer, pacer->clock);
        pacer->refreshHz = refreshHz;
        pacer->interval = pacerSwapInterval(refreshHz);
    }
    return pacer->interval;
}

void pacerBeforePresent(Pacer *pacer) {
    if (pacer->state == kPacerPacing && now(pacer) >= pacer->nextProbe) probe(pacer);
    if (pacer->state == kPacerTrusting) return;
    double period = pacer->state == kPacerProbing ? 1.0 / kPacerProbeRate : kPacerPeriod;
    const PacerClock &clock = pacer->clock;
    double t = now(pacer);
    if (!pacer->haveDeadline || t - (pacer->deadline + period) > 2 * period) {
        pacer->deadline = t;  // first paced present, or too far behind: start again from now
        pacer->haveDeadline = true;
        return;
    }
    pacer->deadline += period;
    for (double left = pacer->deadline - t; left > kPacerSpin; left = pacer->deadline - clock.now(clock.user))
        clock.sleep(clock.user, left - kPacerSpin);
    while (clock.now(clock.user) < pacer->deadline) {}
}

void pacerAfterPresent(Pacer *pacer) {
    if (pacer->state == kPacerPacing) return;
    const PacerClock &clock = pacer->clock;
    if (judgedTooFast(pacer, clock.returned ? clock.returned(clock.user) : now(pacer))) {
        pace(pacer);
    } else if (pacer->state == kPacerProbing && ++pacer->probed >= kPacerProbePresents) {
        trust(pacer);  // judging goes on from the probe's presents
    }
}

int pacerChooseRefresh(const double *refreshHz, int count) {
    int best = -1;
    for (int i = 0; i < count; i++) {  // the highest near a multiple of 60
        int k;
        if (nearMultipleOf60(refreshHz[i], &k) && (best < 0 || refreshHz[i] > refreshHz[best])) best = i;
    }
    if (best >= 0) return best;
    for (int i = 0; i < count; i++)  // the lowest above 60
        if (refreshHz[i] > 60.0 && (best < 0 || refreshHz[i] < refreshHz[best])) best = i;
    if (best >= 0) return best;
    for (int i = 0; i < count; i++)  // the highest there is
        if (best < 0 || refreshHz[i] > refreshHz[best]) best = i;
    return best;
}
