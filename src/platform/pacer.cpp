// pacer.cpp -- at most 60 presents a second: trusts the swap interval while
// the measured presents keep to 60 a second, else waits for a deadline on a
// monotonic clock (see pacer.h).
#include "platform/pacer.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

// The fewest intervals judged at once, and the slack a late timestamp may
// take from a run of them before it looks faster than 60 a second.
const int kMinJudged = 8;
const double kJudgeSlack = 0.005;

double steadyNow(void *) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void steadySleep(void *, double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double stampAt(const Pacer *pacer, long long index) { return pacer->stamps[index % (kPacerWindow + 1)]; }

// True when some run of the latest presents (kMinJudged intervals or more)
// took less time than 60 a second would.
bool presentsTooFast(const Pacer *pacer) {
    long long last = pacer->stampCount - 1;
    double newest = stampAt(pacer, last);
    for (int n = kMinJudged; n <= kPacerWindow && n <= last; n++)
        if (newest - stampAt(pacer, last - n) + kJudgeSlack < n * kPacerPeriod) return true;
    return false;
}

}  // namespace

PacerClock pacerSystemClock() { return PacerClock{steadyNow, steadySleep, nullptr}; }

int pacerSwapInterval(double refreshHz) {
    double k = std::round(refreshHz / 60.0);
    if (k >= 1 && std::fabs(refreshHz - k * 60.0) <= 0.5) return (int)k;
    return 1;
}

void pacerStart(Pacer *pacer, PacerClock clock) {
    *pacer = Pacer{};
    pacer->clock = clock;
}

void pacerBeforePresent(Pacer *pacer) {
    if (!pacer->pacing) return;
    const PacerClock &clock = pacer->clock;
    double now = clock.now(clock.user);
    if (!pacer->haveDeadline || now - (pacer->deadline + kPacerPeriod) > 2 * kPacerPeriod) {
        pacer->deadline = now;  // first paced present, or too far behind: start again from now
        pacer->haveDeadline = true;
        return;
    }
    pacer->deadline += kPacerPeriod;
    for (double left = pacer->deadline - now; left > kPacerSpin; left = pacer->deadline - clock.now(clock.user))
        clock.sleep(clock.user, left - kPacerSpin);
    while (clock.now(clock.user) < pacer->deadline) {}
}

void pacerAfterPresent(Pacer *pacer) {
    if (pacer->pacing) return;
    pacer->stamps[pacer->stampCount % (kPacerWindow + 1)] = pacer->clock.now(pacer->clock.user);
    pacer->stampCount++;
    if (presentsTooFast(pacer)) pacer->pacing = true;
}
