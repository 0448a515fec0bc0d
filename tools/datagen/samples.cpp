// Sample synthesis for the tune. Pitched samples are built so that every
// voice completes a whole number of cycles in the loop, which makes the loop
// seamless; the sample's tuning then puts its fundamental exactly on C-4.
#include "samples.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const double kPi = 3.14159265358979323846;
const double kRate = 44100.0;
const double kC4 = 261.6255653;

// Deterministic white noise in -1..1.
struct Noise {
    uint32_t state;
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state & 0xffffff) / 8388607.5 - 1.0;
    }
};

std::vector<int16_t> toPcm(const std::vector<double> &x, double peak) {
    double m = 1e-9;
    for (double v : x) m = std::max(m, std::fabs(v));
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); ++i) out[i] = static_cast<int16_t>(std::lround(x[i] / m * peak * 32767));
    return out;
}

// One-pole filters.
struct OnePole {
    double a, y = 0;
    double low(double x) { return y += a * (x - y); }
};
double poleFor(double cutoff, double rate) { return 1 - std::exp(-2 * kPi * cutoff / rate); }

struct Voice {
    int cycles;  // whole cycles of the fundamental per loop
    double gain;
};

// A looped tone: `attack` frames, then `loop` frames repeating seamlessly.
// Harmonic h of each voice has amplitude shape(h) * bright(h, t), t in
// frames from the start; at and after the loop start the brightness must
// have settled (bright evaluated at the loop start).
template <typename Shape, typename Bright>
std::vector<double> loopedTone(int attack, int loop, const std::vector<Voice> &voices, int harmonics, Shape shape,
                               Bright bright) {
    std::vector<double> x(static_cast<size_t>(attack) + loop, 0.0);
    for (const Voice &v : voices)
        for (int h = 1; h <= harmonics; ++h) {
            double a = shape(h) * v.gain;
            if (a == 0) continue;
            double phase0 = 0.61803398875 * h * v.cycles;  // spread phases: no sharp peaks
            double w = 2 * kPi * v.cycles * h / loop;
            for (int i = 0; i < attack + loop; ++i) {
                double t = std::min(i, attack);
                x[i] += a * bright(h, t) * std::sin(w * (i - attack) + phase0);
            }
        }
    return x;
}

XmSample pitchedSample(const std::vector<double> &x, int attack, int loop, int fundamentalCycles, double peak) {
    XmSample s;
    s.frames = toPcm(x, peak);
    s.loopStart = attack;
    s.loopLength = loop;
    tuneSample(s, kC4 * loop / fundamentalCycles);
    return s;
}

XmSample drumSample(const std::vector<double> &x, double rate, double peak) {
    XmSample s;
    s.frames = toPcm(x, peak);
    tuneSample(s, rate);
    return s;
}

XmInstrument instrument(const char *name, XmSample s, uint8_t volume, uint8_t pan) {
    XmInstrument ins;
    ins.name = name;
    ins.sample = std::move(s);
    ins.sample.volume = volume;
    ins.sample.panning = pan;
    return ins;
}

XmInstrument kick() {
    std::vector<double> x(static_cast<size_t>(0.42 * kRate));
    double phase = 0;
    Noise n{0x1234567};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double f = 44 + 120 * std::exp(-t / 0.03);
        phase += 2 * kPi * f / kRate;
        double body = std::sin(phase) * std::exp(-t / 0.22);
        double click = n.next() * std::exp(-t / 0.0015) * 0.5;
        x[i] = std::tanh(1.8 * (body + click));
    }
    return instrument("kick", drumSample(x, kRate, 0.97), 64, 128);
}

XmInstrument snare() {
    std::vector<double> x(static_cast<size_t>(0.32 * kRate));
    Noise n{0xbeef};
    OnePole lp{poleFor(7000, kRate)}, hp{poleFor(900, kRate)};
    double phase = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double white = n.next();
        double band = lp.low(white);
        band -= hp.low(band);
        phase += 2 * kPi * (180 + 60 * std::exp(-t / 0.01)) / kRate;
        x[i] = 0.55 * std::sin(phase) * std::exp(-t / 0.05) + 1.3 * band * std::exp(-t / 0.09);
    }
    return instrument("snare", drumSample(x, kRate, 0.95), 50, 120);
}

XmInstrument hat(const char *name, double length, double decay, uint8_t volume, uint8_t pan) {
    std::vector<double> x(static_cast<size_t>(length * kRate));
    Noise n{0x51ed27};
    OnePole hp{poleFor(6500, kRate)};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double w = n.next();
        double high = w - hp.low(w);
        // A little metal: two detuned square partials.
        double metal =
            (std::sin(2 * kPi * 5870 * t) > 0 ? 1 : -1) * 0.15 + (std::sin(2 * kPi * 8130 * t) > 0 ? 1 : -1) * 0.1;
        x[i] = (high + metal * 0.5) * std::exp(-t / decay);
    }
    return instrument(name, drumSample(x, kRate, 0.9), volume, pan);
}

XmInstrument crash() {
    const double rate = 22050;
    std::vector<double> x(static_cast<size_t>(1.8 * rate));
    Noise n{0xc0ffee};
    OnePole hp{poleFor(3000, rate)};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / rate;
        double w = n.next();
        double high = w - hp.low(w);
        double ring = std::sin(2 * kPi * 3520 * t + 3 * std::sin(2 * kPi * 4650 * t));
        x[i] = (high + 0.2 * ring) * std::exp(-t / 0.6) * std::min(1.0, t / 0.002);
    }
    return instrument("crash", drumSample(x, rate, 0.9), 34, 150);
}

XmInstrument bass() {
    const int loop = 16384, attack = 3000, m = 97;
    std::vector<Voice> voices = {{m, 1.0}, {m + 1, 0.6}};
    auto saw = [](int h) { return 1.0 / h; };
    auto bright = [&](int h, double t) {
        double cutoff = 3.0 + 14.0 * std::exp(-t / 900.0);  // in harmonics
        return 1.0 / (1.0 + std::pow(h / cutoff, 3.0));
    };
    std::vector<double> x = loopedTone(attack, loop, voices, 48, saw, bright);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] += 0.5 * std::sin(2 * kPi * m * (static_cast<double>(i) - attack) / loop);
    XmInstrument ins = instrument("bass", pitchedSample(x, attack, loop, m, 0.95), 46, 128);
    ins.volumeEnvelope = {{{0, 64}, {8, 50}, {40, 44}}, 2};
    ins.fadeout = 2400;
    return ins;
}

XmInstrument pad() {
    const int loop = 32768, m = 194;
    std::vector<Voice> voices = {{m, 1.0}, {m + 1, 0.8}, {m - 1, 0.8}, {2 * m + 1, 0.25}};
    auto saw = [](int h) { return 1.0 / h; };
    auto soft = [](int h, double) { return 1.0 / (1.0 + std::pow(h / 11.0, 2.0)); };
    std::vector<double> x = loopedTone(0, loop, voices, 48, saw, soft);
    XmInstrument ins = instrument("pad", pitchedSample(x, 0, loop, m, 0.9), 30, 128);
    ins.volumeEnvelope = {{{0, 0}, {30, 64}, {70, 52}}, 2};
    ins.fadeout = 380;
    ins.vibratoType = 0, ins.vibratoSweep = 40, ins.vibratoDepth = 2, ins.vibratoRate = 6;
    return ins;
}

XmInstrument lead() {
    const int loop = 32768, m = 194;
    std::vector<Voice> voices = {{m, 1.0}, {m + 1, 0.7}};
    // Between saw and square: odd harmonics stronger.
    auto shape = [](int h) { return (h % 2 ? 1.0 : 0.55) / h; };
    auto bright = [](int h, double) { return 1.0 / (1.0 + std::pow(h / 14.0, 2.0)); };
    std::vector<double> x = loopedTone(0, loop, voices, 32, shape, bright);
    XmInstrument ins = instrument("lead", pitchedSample(x, 0, loop, m, 0.9), 38, 128);
    ins.volumeEnvelope = {{{0, 64}, {12, 56}, {50, 50}}, 2};
    ins.fadeout = 1100;
    ins.vibratoType = 0, ins.vibratoSweep = 60, ins.vibratoDepth = 3, ins.vibratoRate = 10;
    return ins;
}

XmInstrument pluck() {
    const int loop = 8192, attack = 6000, m = 49;
    std::vector<Voice> voices = {{m, 1.0}};
    auto square = [](int h) { return h % 2 ? 1.0 / h : 0.15 / h; };
    auto bright = [](int h, double t) {
        double cutoff = 5.0 + 18.0 * std::exp(-t / 1500.0);
        return 1.0 / (1.0 + std::pow(h / cutoff, 2.5));
    };
    std::vector<double> x = loopedTone(attack, loop, voices, 26, square, bright);
    XmInstrument ins = instrument("pluck", pitchedSample(x, attack, loop, m, 0.9), 34, 90);
    ins.volumeEnvelope = {{{0, 64}, {6, 36}, {24, 16}, {60, 6}, {120, 0}}, -1};
    return ins;
}

XmInstrument glass() {
    const int loop = 8192, m = 49;
    std::vector<Voice> voices = {{m, 1.0}, {2 * m + 1, 0.25}};
    auto shape = [](int h) { return h == 1 ? 1.0 : (h == 2 ? 0.35 : (h == 3 ? 0.3 : (h == 5 ? 0.12 : 0.0))); };
    auto flat = [](int, double) { return 1.0; };
    std::vector<double> x = loopedTone(0, loop, voices, 5, shape, flat);
    XmInstrument ins = instrument("glass", pitchedSample(x, 0, loop, m, 0.9), 40, 170);
    ins.volumeEnvelope = {{{0, 64}, {20, 44}, {90, 20}, {220, 8}, {400, 0}}, -1};
    ins.vibratoType = 0, ins.vibratoSweep = 20, ins.vibratoDepth = 2, ins.vibratoRate = 8;
    return ins;
}

// A shaker: a short burst of high noise with a soft attack.
XmInstrument shaker() {
    std::vector<double> x(static_cast<size_t>(0.07 * kRate));
    Noise n{0x5ca1e};
    OnePole hp{poleFor(5000, kRate)}, lp{poleFor(12000, kRate)};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double w = lp.low(n.next());
        x[i] = (w - hp.low(w)) * std::min(1.0, t / 0.006) * std::exp(-t / 0.022);
    }
    return instrument("shaker", drumSample(x, kRate, 0.9), 40, 100);
}

// The finale's lead: three detuned bright saws.
XmInstrument saw() {
    const int loop = 32768, m = 194;
    std::vector<Voice> voices = {{m, 1.0}, {m + 1, 0.8}, {m - 1, 0.8}};
    auto shape = [](int h) { return 1.0 / h; };
    auto bright = [](int h, double) { return 1.0 / (1.0 + std::pow(h / 20.0, 2.0)); };
    std::vector<double> x = loopedTone(0, loop, voices, 36, shape, bright);
    XmInstrument ins = instrument("saw lead", pitchedSample(x, 0, loop, m, 0.9), 34, 128);
    ins.volumeEnvelope = {{{0, 64}, {10, 58}, {40, 52}}, 2};
    ins.fadeout = 900;
    ins.vibratoType = 0, ins.vibratoSweep = 50, ins.vibratoDepth = 3, ins.vibratoRate = 10;
    return ins;
}

// The finale's kit: a deeper kick, a clap, a ride and a tambourine.
XmInstrument bigKick() {
    std::vector<double> x(static_cast<size_t>(0.5 * kRate));
    double phase = 0;
    Noise n{0x8badf00d};
    OnePole lp{poleFor(3000, kRate)};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        phase += 2 * kPi * (48 + 160 * std::exp(-t / 0.022)) / kRate;
        double body = std::sin(phase) * std::exp(-t / 0.26);
        double click = lp.low(n.next()) * std::exp(-t / 0.004);
        x[i] = std::tanh(2.2 * body + 1.2 * click);
    }
    return instrument("big kick", drumSample(x, kRate, 0.97), 64, 128);
}

XmInstrument clap() {
    std::vector<double> x(static_cast<size_t>(0.3 * kRate));
    Noise n{0xc1a9};
    OnePole lp{poleFor(6500, kRate)}, hp{poleFor(1100, kRate)};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double band = lp.low(n.next());
        band -= hp.low(band);
        // Three quick slaps, then the room.
        double slaps = 0;
        for (int k = 0; k < 3; ++k) {
            double u = t - 0.011 * k;
            if (u >= 0) slaps += std::exp(-u / 0.004);
        }
        x[i] = band * (slaps + 0.6 * std::exp(-std::max(0.0, t - 0.022) / 0.07) * (t > 0.022));
    }
    return instrument("clap", drumSample(x, kRate, 0.92), 50, 136);
}

XmInstrument ride() {
    std::vector<double> x(static_cast<size_t>(1.1 * kRate));
    Noise n{0x41de};
    OnePole hp{poleFor(5000, kRate)};
    const double partials[] = {3130, 4410, 5170, 6620, 7940, 9310};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double metal = 0;
        for (double f : partials) metal += (std::sin(2 * kPi * f * t) > 0 ? 1 : -1) / 6.0;
        double w = n.next();
        x[i] = (0.5 * metal + (w - hp.low(w))) * std::exp(-t / 0.35) * (0.6 + 0.4 * std::exp(-t / 0.02));
    }
    return instrument("ride", drumSample(x, kRate, 0.85), 40, 90);
}

XmInstrument tambourine() {
    std::vector<double> x(static_cast<size_t>(0.14 * kRate));
    Noise n{0x7a3b};
    OnePole hp{poleFor(7000, kRate)};
    for (size_t i = 0; i < x.size(); ++i) {
        double t = i / kRate;
        double w = n.next();
        double jingle = std::sin(2 * kPi * 7300 * t) * std::sin(2 * kPi * 9650 * t);
        x[i] = ((w - hp.low(w)) + 0.6 * jingle) * std::min(1.0, t / 0.002) * std::exp(-t / 0.04);
    }
    return instrument("tambourine", drumSample(x, kRate, 0.9), 44, 160);
}

XmInstrument noiseSweep() {
    const int loop = 16384;
    std::vector<double> x(loop);
    Noise n{0xa5a5a5};
    OnePole lp{poleFor(5000, kRate)};
    for (int i = 0; i < loop; ++i) x[i] = lp.low(n.next());
    // Cross-fade the loop's end into its start so the repeat is seamless.
    const int fade = 1024;
    std::vector<double> y = x;
    for (int i = 0; i < fade; ++i) {
        double k = static_cast<double>(i) / fade;
        y[loop - fade + i] = x[loop - fade + i] * (1 - k) + x[i] * k;
    }
    XmSample s;
    s.frames = toPcm(y, 0.8);
    s.loopStart = 0;
    s.loopLength = loop;
    tuneSample(s, kRate);
    XmInstrument ins = instrument("sweep", s, 24, 128);
    ins.volumeEnvelope = {{{0, 64}}, 0};
    ins.fadeout = 600;
    return ins;
}

}  // namespace

std::vector<XmInstrument> makeInstruments() {
    std::vector<XmInstrument> v;
    v.push_back(kick());
    v.push_back(snare());
    v.push_back(hat("closed hat", 0.09, 0.025, 26, 170));
    v.push_back(hat("open hat", 0.4, 0.14, 22, 180));
    v.push_back(crash());
    v.push_back(bass());
    v.push_back(pad());
    v.push_back(lead());
    v.push_back(pluck());
    v.push_back(glass());
    v.push_back(noiseSweep());
    v.push_back(shaker());
    v.push_back(saw());
    v.push_back(bigKick());
    v.push_back(clap());
    v.push_back(ride());
    v.push_back(tambourine());
    return v;
}
