// The tune's score, cut to the picture. A minor at 144 BPM (a bar is 100
// frames of the show; the drive runs at 160, the bridge at 180), each order
// as many bars as the cue sheet gives its row: 0-1 intro, 2-6 build-up, 7-11
// drive, 12-13 break, 14-23 main theme, 24-26 bridge, 27-36 finale (looped
// from 27), one order a credit slide. Every scene change and every slide's
// entry lands on an order start with a hit (kick, crash and bass together)
// after a stop; where the picture is dark while a layer fades in, the music
// holds its breath too. The sections rise and fall (each sets the module's
// global volume); the finale is new material, up a tone from its fifth
// order, and builds to the show's loudest moment before the closing fade.
#include "tune.h"

#include <functional>
#include <stdexcept>

#include "music/music.h"
#include "samples.h"
#include "tune_parts.h"

namespace {

// Melodies: eight tokens per bar at two rows a token, or four at four rows.
const char *const kHookA = "E5 . . D5 C5 . A4 . | C5 . . B4 A4 . F4 . | G4 . C5 . E5 . D5 C5 | D5~ . . . B4 . G4 .";
const char *const kHookAnswer =
    "E5 . . D5 C5 . A4 . | C5 . . B4 A4 . C5 . | E5 . G5 . E5 . D5 C5 | B4~ . . . /G#4 . . .";
const char *const kRiffB = "A4 . C5 . F5 . E5 . | D5 . . B4 . G4 B4 D5 | E5 . . D5 B4 . G4 . | A4~ . . . . . r .";
const char *const kThemeC = "D5 . F5 . A5 . G5 F5 | G5 . . D5 . B4 . D5 | E5 . G5 . C6 . B5 G5 | A5~ . . . . . r .";
const char *const kGlassIntro = "A4 . E5 . | F4 . C5 . | G4 . E5 . | D5 . B4 .";
const char *const kGlassBreak = "E5 . C5 . | D5 . B4 . | C5 . A4 . | B4 . G#4 .";
const char *const kGlassCounter = "A4 . D5 . | B4 . D5 . | C5 . E5 . | C5 . A4 .";

using Build = std::function<void(XmPattern &)>;

// One order of the score: what it plays, the chord its first row lands on
// (the hit, where it has one) and the module's global volume through it.
struct Order {
    Build build;
    Chord first;
    int globalVolume;
};

// Bars [first, first + count) of a melody written with "|" bar marks.
std::string part(const char *tune, int first, int count) {
    std::string s(tune), out;
    size_t at = 0;
    for (int bar = 0; bar < first + count; ++bar) {
        size_t end = s.find('|', at);
        if (bar >= first) out += s.substr(at, end == std::string::npos ? std::string::npos : end - at) + " ";
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return out;
}

// 0-26: from the quiet intro through the build-up, the drive, the break, the
// main theme and the bridge.
void opening(std::vector<Order> &s) {
    const Bars am = bars({"Am", "F", "C", "G"}), amE = bars({"Am", "F", "C", "E"});
    const Bars fg = bars({"F", "G", "Em", "Am"}), dm = bars({"Dm", "G", "C", "Am"});
    const Bars brk = bars({"Fmaj7", "Em7", "Dm7", "E"});
    // 0-1: intro, quiet: the ball and the opening card come up.
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"Am", "F"}), 36, true);
                     writeMelody(p, kChGlass, kGlass, part(kGlassIntro, 0, 2), 4, 34);
                 },
                 chord("Am"), 26});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"C", "G"}), 40);
                     writeMelody(p, kChGlass, kGlass, part(kGlassIntro, 2, 2), 4, 40, 12);
                     writeDrums(p, Drums::Hats, 36);
                     writeShaker(p, 24, 2);
                     writeArp(p, bars({"C", "G"}), Arp::Broken8, 22);
                 },
                 chord("C"), 30});
    // 2-6: build-up under the fly-in and the twin rings.
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"Am", "F"}), 42);
                     writeDrums(p, Drums::KickHats, 48);
                     writeShaker(p, 30, 2);
                     writeBass(p, bars({"Am", "F"}), Bass::Long, 50);
                     writeArp(p, bars({"Am", "F"}), Arp::Broken8, 26);
                 },
                 chord("Am"), 40});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"C"}), 42);
                     writeDrums(p, Drums::KickHats, 56);
                     writeShaker(p, 34);
                     writeBass(p, bars({"C"}), Bass::Offbeat, 52);
                     writeArp(p, bars({"C"}), Arp::Up16, 28);
                 },
                 chord("C"), 42});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"E"}), 44);
                     writeDrums(p, Drums::Basic, 56);
                     writeShaker(p, 36);
                     writeBass(p, bars({"E"}), Bass::Offbeat, 54);
                     writeArp(p, bars({"E"}), Arp::Up16, 30);
                     writeMelody(p, kChLead, kLead, part(kHookAnswer, 3, 1), 2, 34);
                 },
                 chord("E"), 44});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"F"}), 44);
                     writeDrums(p, Drums::Basic, 60);
                     writeShaker(p, 38);
                     writeBass(p, bars({"F"}), Bass::Octaves, 54);
                     writeArp(p, bars({"F"}), Arp::Chip, 26);
                     writeMelody(p, kChLead, kLead, part(kRiffB, 0, 1), 2, 38, 0, true);
                 },
                 chord("F"), 46});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"Dm", "E"}), 46);
                     writeDrums(p, Drums::KickHats, 60);
                     writeRoll(p, 0);
                     writeBass(p, bars({"Dm", "E"}), Bass::Octaves, 56);
                     writeArp(p, bars({"Dm", "E"}), Arp::Up16, 32);
                     writeRiser(p, 0, 44);
                 },
                 chord("Dm"), 48});
    // 7-11: full drive under the banner and the cascade.
    auto drive = [=](const Bars &b, const std::string &tune, bool fill) {
        return [=](XmPattern &p) {
            writePads(p, b, 40);
            writeDrums(p, Drums::Full);
            writeShaker(p, 40);
            writeBass(p, b, Bass::Rolling, 58);
            writeArp(p, b, Arp::Up16, 28);
            writeMelody(p, kChLead, kLead, tune, 2, 48, 0, true);
            if (fill) writeFill(p);
        };
    };
    s.push_back({drive(bars({"Am", "F"}), part(kHookA, 0, 2), true), chord("Am"), 46});
    s.push_back({drive(bars({"C", "G"}), part(kHookA, 2, 2), true), chord("C"), 46});
    s.push_back({drive(bars({"F", "G"}), part(kRiffB, 0, 2), false), chord("F"), 46});
    s.push_back({drive(bars({"Em", "Am"}), part(kRiffB, 2, 2), true), chord("Em"), 46});
    s.push_back({drive(bars({"C", "E"}), part(kHookAnswer, 2, 2), true), chord("C"), 46});
    // 12-13: the break under the still card.
    s.push_back({[=](XmPattern &p) {
                     writePads(p, brk, 44, true);
                     writeBass(p, brk, Bass::Long, 40);
                     writeMelody(p, kChGlass, kGlass, part(kGlassBreak, 0, 3), 4, 44);
                 },
                 chord("Fmaj7"), 30});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"E"}), 46);
                     writeBass(p, bars({"E"}), Bass::Long, 44);
                     writeMelody(p, kChGlass, kGlass, part(kGlassBreak, 3, 1), 4, 44, 12);
                     writeArp(p, bars({"E"}), Arp::Broken8, 24);
                     writeShaker(p, 28, 2);
                     writeRoll(p, 0);
                     writeRiser(p, 0, 40);
                 },
                 chord("E"), 32});
    // 14-23: the main theme under the morph: four-bar phrases over pairs of
    // two-bar orders.
    auto theme = [=](const Bars &b, const char *tune, int half, Drums d, Arp a, int transpose, const char *glass) {
        return [=](XmPattern &p) {
            Bars two(b.begin() + 2 * half, b.begin() + 2 * half + 2);
            writePads(p, two, 38);
            writeDrums(p, d);
            writeShaker(p, 36, half ? 1 : 2);
            writeBass(p, two, d == Drums::Half ? Bass::Octaves : Bass::Rolling, 56);
            writeArp(p, two, a, 26);
            writeMelody(p, kChLead, kLead, part(tune, 2 * half, 2), 2, 46, transpose, true);
            if (glass) writeMelody(p, kChGlass, kGlass, part(glass, 2 * half, 2), 4, 30, 12);
            if (half) writeFill(p);
        };
    };
    auto themePair = [&](const Bars &b, const char *tune, Drums d, Arp a, int transpose, const char *glass, int gv) {
        for (int h = 0; h < 2; ++h) s.push_back({theme(b, tune, h, d, a, transpose, glass), b[2 * h], gv});
    };
    themePair(am, kHookA, Drums::Full, Arp::Up16, 0, nullptr, 44);
    themePair(amE, kHookAnswer, Drums::Full, Arp::Up16, 0, nullptr, 46);
    themePair(fg, kRiffB, Drums::Broken, Arp::Chip, 0, nullptr, 46);
    themePair(dm, kThemeC, Drums::Full, Arp::Broken8, 0, kGlassCounter, 48);
    themePair(amE, kHookAnswer, Drums::Full, Arp::Chip, 12, nullptr, 48);
    // 24-26: the bridge: half time while the morph fades, then no kick,
    // rising into the finale as the twin rings return.
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"Dm"}), 44);
                     writeDrums(p, Drums::Half);
                     writeBass(p, bars({"Dm"}), Bass::Long, 50);
                     writeArp(p, bars({"Dm"}), Arp::Broken8, 26);
                     writeMelody(p, kChGlass, kGlass, part(kGlassCounter, 0, 1), 4, 34, 12);
                 },
                 chord("Dm"), 36});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"F"}), 44);
                     writeDrums(p, Drums::Half, 48);
                     writeBass(p, bars({"F"}), Bass::Long, 48);
                     writeArp(p, bars({"F"}), Arp::Broken8, 26);
                     writeMelody(p, kChGlass, kGlass, part(kGlassCounter, 1, 1), 4, 34, 12);
                 },
                 chord("F"), 36});
    s.push_back({[=](XmPattern &p) {
                     writePads(p, bars({"G", "Esus"}), 46, true);
                     writeBass(p, bars({"G", "Esus"}), Bass::Long, 46);
                     writeArp(p, bars({"G", "Esus"}), Arp::Up16, 30);
                     writeDrums(p, Drums::Hats, 50);
                     writeShaker(p, 30);
                     writeRoll(p, 2);
                     writeRiser(p, 16, 44);
                 },
                 chord("G"), 40});
}

// The finale's orders, one a credit slide: five bars each, a progression,
// a groove, a bass and an arpeggio style, and a lead line as degrees over
// the chords (see writeDegrees).
struct FinaleOrder {
    std::initializer_list<const char *> chords;
    int key;  // 9 A minor, 11 B minor
    const Kit &kit;
    Groove groove;
    Bass bass;
    Arp arp;
    int lead;  // instrument
    const char *line;
    const char *glass;  // a counter-line, four rows a token, or null
    int globalVolume;
};

// The finale's kits: a deeper kick and a clap under the hats, then the ride.
constexpr Kit kClapKit{kBigKick, kClap, kHatClosed, kHatOpen, kTambourine};
constexpr Kit kRideKit{kBigKick, kClap, kRide, kHatOpen, kTambourine};
constexpr Kit kPeakKit{kBigKick, kSnare, kRide, kHatOpen, kTambourine};

// clang-format off
const FinaleOrder kFinale[] = {
    {{"F", "Am", "Bb", "Dm", "E"}, 9, kClapKit,
     {"x.....x...x.....", "........x.....o.", "..x...x...x...x.", "", "....x.......x..."}, Bass::Long, Arp::Wide, kLead,
     "5 . . 3 1 . . . | 3 . 5 . 8 . . . | 5 . 3 . 2 . 1 . | 3 . . 5 . . 8 . | 7 . . . 5~ . . .",
     "8 . 5 . | 3 . 5 . | 8 . 5 . | 3 . 1 . | 3 . 5 .", 44},
    {{"C", "G", "Am", "F", "E"}, 9, kClapKit,
     {"x......xx.......", "....x.......x...", "x..x..x..x..x..x", "..........x.....", "..x...x...x...x."},
     Bass::Pulse, Arp::Down16, kLead,
     "1 . 2 3 . 5 . 3 | 5 . . 3 2 . 1 . | 3 . 5 . 6 . 5 3 | 1 . . . 3 . 5 . | 3~ . . . 2 . . .", nullptr, 46},
    {{"Am", "Em", "F", "C", "G"}, 9, kClapKit,
     {"x..x......x..x..", "....x..o....x..o", "x.x.x.x.x.x.x.x.", "", "oxoxoxoxoxoxoxox"}, Bass::Rolling, Arp::Up16,
     kLead, "8 . 5 . 3 . 5 . | 8 . . 7 5 . 3 . | 6 . 5 . 3 . 2 . | 3 . 5 . 8 . 5 . | 5~ . . . . . r .",
     "3 . 5 . | 8 . 7 . | 5 . 3 . | 5 . 8 . | 5 . . .", 48},
    {{"F", "G", "Em", "A", "F#"}, 9, kClapKit,
     {"x...x...x...x...", "....x.......x.oo", ".x.x.x.x.x.x.x.x", "..x...x...x...x.", "x.xxx.xxx.xxx.xx"},
     Bass::Octaves, Arp::Chip, kLead,
     "3 . . 5 . . 8 . | 3 . . 5 . . 8 . | 5 . 3 . 1 . 3 . | 5 . . 3 . . 1 . | 3 . 5 . 8 . 9 .", nullptr, 50},
    {{"Bm", "G", "D", "A", "F#"}, 11, kRideKit,
     {"x...x...x...x..o", "....x.......x...", "oxoxoxoxoxoxoxox", "..x...x...x...x.", "x.x.xxx.x.x.xxx."},
     Bass::Rolling, Arp::Up16, kSaw,
     "5 . . 8 . . 5 . | 3 . . 5 . . 3 . | 1 . 3 . 5 . 8 . | 5 . . 3 . 2 . . | 3~ . . . 5 . . .",
     "8 . 5 . | 3 . 5 . | 5 . 8 . | 5 . 3 . | 7 . 5 .", 52},
    {{"G", "A", "Bm", "Em", "F#"}, 11, kRideKit,
     {"x.x...x.x.x...x.", "....x.......x...", "x.xxx.xxx.xxx.xx", "......x.......x.", ".x.x.x.x.x.x.x.x"},
     Bass::Pulse, Arp::Down16, kSaw,
     "8 . . 7 . 5 . 3 | 5 . . 3 . 1 . 3 | 5 . 8 . 5 . 3 . | 2 . 3 . 5 . 6 . | 5~ . . . . . 3 .", nullptr, 54},
    {{"Bm", "D", "G", "Em", "F#"}, 11, kRideKit,
     {"x..x..x...x.x...", "....x..x....x...", "xxx.xxx.xxx.xxx.", "...x...x...x...x", "xoxxxoxxxoxxxoxx"},
     Bass::Rolling, Arp::Wide, kSaw,
     "1 . 5 . 8 . 5 . | 3' . . 8 . . 5 . | 6 . . 5 . . 3 . | 5 . 6 . 8 . 9 . | 8~ . . . 7 . 5 .",
     "5 . 3 . | 8 . 5 . | 3 . 5 . | 8 . 5 . | 7 . . .", 57},
    {{"G", "D", "A", "Bm", "F#"}, 11, kPeakKit,
     {"x...x..xx...x...", "....x.......x.x.", "x.x.x.x.x.x.x.x.", ".x...x...x...x..", "xxoxxxoxxxoxxxox"},
     Bass::Octaves, Arp::Up16, kSaw,
     "3 . . 5 8 . . . | 5 . . 8 3' . . . | 8 . 7 . 5 . 3 . | 5 . 8 . 5 . 3 . | 7~ . . . . . 5 .",
     "8 . 5 . | 5 . 8 . | 3 . 5 . | 8 . 3 . | 5 . 7 .", 60},
    {{"Em", "A", "D", "G", "F#"}, 11, kPeakKit,
     {"x...x.x.x...x.x.", "....x.......x..x", "xx.xxx.xxx.xxx.x", "..x...x...x...x.", ".xxx.xxx.xxx.xxx"},
     Bass::Pulse, Arp::Wide, kSaw,
     "5 . 8 . 3' . 8 . | 5 . 8 . 3' . 8 . | 8 . . 5 . . 3 . | 8 . . 5 . . 3 . | 3 . 5 . 7 . 8 .",
     "3 . 5 . | 8 . 5 . | 8 . 3 . | 5 . 8 . | 5 . 3 .", 64},
    {{"Bm", "G", "A", "Bm", "Bm"}, 11, kPeakKit,
     {"x.......x.......", "....x.......x...", "x...x...x...x...", "..x...x...x...x.", "x.x.x.x.x.x.x.x."},
     Bass::Long, Arp::Broken8, kSaw,
     "8 . . . 5 . . . | 3 . . . 5 . . . | 2 . . . 3 . . . | 1~ . . . . . . . | 1~ . . . . . r .", nullptr, 64},
};
// clang-format on

// 27-36: the finale, up a tone from its fifth order, building to the loudest
// moment of the show before the closing fade.
void finale(std::vector<Order> &s) {
    for (const FinaleOrder &f : kFinale) {
        const Bars b = bars(f.chords);
        s.push_back({[=](XmPattern &p) {
                         writePads(p, b, 42);
                         writeGroove(p, f.groove, f.kit);
                         writeBass(p, b, f.bass, 58);
                         writeArp(p, b, f.arp, 26);
                         writeDegrees(p, kChLead, f.lead, b, f.key, f.line, 2, 48, true);
                         if (f.glass) writeDegrees(p, kChGlass, kGlass, b, f.key, f.glass, 4, 30);
                     },
                     b[0], f.globalVolume});
    }
}

std::vector<Order> score() {
    std::vector<Order> s;
    opening(s);
    finale(s);
    return s;
}

// Orders whose first row lands a hit: every scene change and every credit
// slide (the finale's orders are a slide long).
bool landsAHit(int order) {
    if (order >= kFinaleOrder) return true;
    for (int32_t first : kTimelineRowStarts)
        if (first == order && order > 0) return true;
    return false;
}

// Rows of the stop before a hit: at least 250 ms.
int stopRows(int bpm) { return bpm > 170 ? 4 : 3; }

// The player plays a tick as whole frames of sound, fewer than the tempo
// asks for: at 144 BPM and 44.1 kHz an order a credit slide long comes 300
// frames of sound short. The finale makes up for it with one tick more, on
// an order's last row, wherever the shortfall passes half a tick, so every
// slide enters within a frame of its order's start.
struct SlideClock {
    long behind = 0;  // frames of sound the finale's orders are behind the slides
    bool longer(const OrderPlan &o) {
        const long tick = kMixRate * 5L / (2L * o.bpm);
        behind +=
            static_cast<long>(kCreditSlideFrames) * kMixRate / kShowFps - o.bars * kRowsPerBar * kTuneSpeed * tick;
        if (2 * behind < tick) return false;
        behind -= tick;
        return true;
    }
};

}  // namespace

XmModule buildTune() {
    XmModule m;
    m.name = "kaveld by morvane";
    m.channels = kChannelCount;
    m.speed = kTuneSpeed;
    m.restart = kFinaleOrder;
    m.instruments = makeInstruments();
    const std::vector<Order> parts = score();
    const std::vector<OrderPlan> plan = orderPlan();
    if (parts.size() != plan.size()) throw std::logic_error("the score and the cue sheet differ in orders");
    m.bpm = plan[0].bpm;
    SlideClock slides;
    for (size_t o = 0; o < parts.size(); ++o) {
        const int order = static_cast<int>(o);
        XmPattern p = makePattern(plan[o].bars * kRowsPerBar, kChannelCount);
        parts[o].build(p);
        if (landsAHit(order)) writeHit(p, parts[o].first, hushedRows(order) ? 40 : 64);
        if (hushedRows(order)) writeHush(p, hushedRows(order));
        if (o + 1 < parts.size() && landsAHit(order + 1)) writeStop(p, stopRows(plan[o].bpm));
        setGlobalVolume(p, 0, parts[o].globalVolume);
        if (plan[o].bpm != (o ? plan[o - 1].bpm : m.bpm)) setTempo(p, 0, plan[o].bpm);
        if (order >= kFinaleOrder) {
            setSpeed(p, 0, kTuneSpeed);  // after a longer order, and on the loop back
            if (slides.longer(plan[o])) setSpeed(p, p.rows - 1, kTuneSpeed + 1);
        }
        // Orders that come out identical share one pattern.
        size_t index = 0;
        while (index < m.patterns.size() && m.patterns[index].cells != p.cells) ++index;
        if (index == m.patterns.size()) m.patterns.push_back(p);
        m.orders.push_back(static_cast<uint8_t>(index));
    }
    return m;
}
