// The tune's score. A minor at 144 BPM (a bar is 100 frames of the show; the
// drive runs at 160, the bridge at 180), each
// order as many bars as the cue sheet gives its row: 0-1 intro (pads, glass
// bells), 2-6 build-up, 7-11 drive, 12-13 break, 14-23 main theme, 24-26
// bridge, 27-38 finale (looped from 27).
#include "tune.h"

#include <functional>
#include <stdexcept>

#include "samples.h"
#include "tune_parts.h"

namespace {

// Melodies: eight tokens per bar at two rows a token, or four at four rows.
const char *const kHookA = "E5 . . D5 C5 . A4 . | C5 . . B4 A4 . F4 . | G4 . C5 . E5 . D5 C5 | D5~ . . . B4 . G4 .";
const char *const kHookAnswer =
    "E5 . . D5 C5 . A4 . | C5 . . B4 A4 . C5 . | E5 . G5 . E5 . D5 C5 | B4~ . . . /G#4 . . .";
const char *const kRiffB = "A4 . C5 . F5 . E5 . | D5 . . B4 . G4 B4 D5 | E5 . . D5 B4 . G4 . | A4~ . . . . . r .";
const char *const kRiffB2 = "F5 . E5 . C5 . A4 . | B4 . D5 . G5 . F5 E5 | /G5 . . E5 D5 . B4 . | A4~ . . . . . r .";
const char *const kThemeC = "D5 . F5 . A5 . G5 F5 | G5 . . D5 . B4 . D5 | E5 . G5 . C6 . B5 G5 | A5~ . . . . . r .";
const char *const kAnthemA = "C5 . . . F5 . . E5 | D5 . . . G5 . . F5 | E5 . . . A5~ . . . | . . . . G5 . E5 .";
const char *const kAnthemB = "F5 . . . A5 . . G5 | G5 . . . B5 . . A5 | /C6 . . . G5 . E5 . | G#5~ . . . B5 . . .";
const char *const kTurnaround = "C5 . . . D5 . . . | D5 . . . G5 . F5 . | E5~ . . . . . . . | B4 . D5 . E5 . G#5 .";
const char *const kGlassIntro = "A4 . E5 . | F4 . C5 . | G4 . E5 . | D5 . B4 .";
const char *const kGlassBreak = "E5 . C5 . | D5 . B4 . | C5 . A4 . | B4 . G#4 .";
const char *const kGlassCounter = "A4 . D5 . | B4 . D5 . | C5 . E5 . | C5 . A4 .";
const char *const kGlassFinale = "A5 . C6 . | B5 . D6 . | C6 . E6 . | B5 . G#5 .";

using Build = std::function<void(XmPattern &)>;

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

// A tempo change (Fxx) on the pattern's first row, in the first channel
// whose effect column is free there.
void setTempo(XmPattern &p, int bpm) {
    for (int c = kChannelCount - 1; c >= 0; --c) {
        XmCell &cell = p.at(0, c);
        if (cell.effect || cell.param) continue;
        cell.effect = 0x0f;
        cell.param = static_cast<uint8_t>(bpm);
        return;
    }
    throw std::logic_error("no free effect column for a tempo change");
}

// One entry per order, in play order; each order's length (its bars) comes
// from the cue sheet, so the sections follow the picture.
std::vector<Build> score() {
    const Bars am = bars({"Am", "F", "C", "G"}), amE = bars({"Am", "F", "C", "E"});
    const Bars fg = bars({"F", "G", "Em", "Am"}), dm = bars({"Dm", "G", "C", "Am"});
    const Bars brk = bars({"Fmaj7", "Em7", "Dm7", "E"});
    const Bars fin = bars({"F", "G", "Am", "Am"}), finB = bars({"F", "G", "C", "E"});
    const Bars turn = bars({"F", "G", "E", "E"});
    std::vector<Build> s;
    // 0-1: intro, quiet: the ball and the opening card come up.
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"Am", "F"}), 36, true);
        writeMelody(p, kChGlass, kGlass, part(kGlassIntro, 0, 2), 4, 34);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"C", "G"}), 40);
        writeMelody(p, kChGlass, kGlass, part(kGlassIntro, 2, 2), 4, 40, 12);
        writeDrums(p, Drums::Hats, 36);
        writeArp(p, bars({"C", "G"}), Arp::Broken8, 22);
    });
    // 2-6: build-up under the fly-in and the twin rings.
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"Am", "F"}), 42);
        writeDrums(p, Drums::KickHats, 48);
        writeBass(p, bars({"Am", "F"}), Bass::Long, 50);
        writeArp(p, bars({"Am", "F"}), Arp::Broken8, 26);
        writeCrash(p, 0, 40);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"C"}), 42);
        writeDrums(p, Drums::KickHats, 56);
        writeBass(p, bars({"C"}), Bass::Offbeat, 52);
        writeArp(p, bars({"C"}), Arp::Up16, 28);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"E"}), 44);
        writeDrums(p, Drums::Basic, 56);
        writeBass(p, bars({"E"}), Bass::Offbeat, 54);
        writeArp(p, bars({"E"}), Arp::Up16, 30);
        writeMelody(p, kChLead, kLead, part(kHookAnswer, 3, 1), 2, 34);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"F"}), 44);
        writeDrums(p, Drums::Basic, 60);
        writeBass(p, bars({"F"}), Bass::Octaves, 54);
        writeArp(p, bars({"F"}), Arp::Chip, 26);
        writeMelody(p, kChLead, kLead, part(kRiffB, 0, 1), 2, 38, 0, true);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"Dm", "E"}), 46);
        writeDrums(p, Drums::KickHats, 60);
        writeRoll(p, 0);
        writeBass(p, bars({"Dm", "E"}), Bass::Octaves, 56);
        writeArp(p, bars({"Dm", "E"}), Arp::Up16, 32);
        writeRiser(p, 0, 44);
    });
    // 7-11: full drive under the banner and the cascade, two bars an order.
    auto drive = [=](const Bars &b, const std::string &tune, bool crash, bool fill) {
        return [=](XmPattern &p) {
            writePads(p, b, 40);
            writeDrums(p, Drums::Full);
            writeBass(p, b, Bass::Rolling, 58);
            writeArp(p, b, Arp::Up16, 28);
            writeMelody(p, kChLead, kLead, tune, 2, 48, 0, true);
            if (crash) writeCrash(p, 0);
            if (fill) writeFill(p);
        };
    };
    s.push_back(drive(bars({"Am", "F"}), part(kHookA, 0, 2), true, false));
    s.push_back(drive(bars({"C", "G"}), part(kHookA, 2, 2), false, true));
    s.push_back(drive(bars({"F", "G"}), part(kRiffB, 0, 2), true, false));
    s.push_back(drive(bars({"Em", "Am"}), part(kRiffB, 2, 2), false, true));
    s.push_back(drive(bars({"C", "E"}), part(kHookAnswer, 2, 2), true, true));
    // 12-13: the break under the still card.
    s.push_back([=](XmPattern &p) {
        writePads(p, brk, 44, true);
        writeBass(p, brk, Bass::Long, 40);
        writeMelody(p, kChGlass, kGlass, part(kGlassBreak, 0, 3), 4, 44);
        writeCrash(p, 0, 30);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"E"}), 46);
        writeBass(p, bars({"E"}), Bass::Long, 44);
        writeMelody(p, kChGlass, kGlass, part(kGlassBreak, 3, 1), 4, 44, 12);
        writeArp(p, bars({"E"}), Arp::Broken8, 24);
        writeRoll(p, 0);
        writeRiser(p, 0, 40);
    });
    // 14-23: the main theme under the morph: four-bar phrases over pairs of
    // two-bar orders.
    auto theme = [=](const Bars &b, const char *tune, int half, Drums d, Arp a, int transpose, const char *glass) {
        return [=](XmPattern &p) {
            Bars two(b.begin() + 2 * half, b.begin() + 2 * half + 2);
            writePads(p, two, 38);
            writeDrums(p, d);
            writeBass(p, two, d == Drums::Half ? Bass::Octaves : Bass::Rolling, 56);
            writeArp(p, two, a, 26);
            writeMelody(p, kChLead, kLead, part(tune, 2 * half, 2), 2, 46, transpose, true);
            if (glass) writeMelody(p, kChGlass, kGlass, part(glass, 2 * half, 2), 4, 30, 12);
            if (half == 0)
                writeCrash(p, 0);
            else
                writeFill(p);
        };
    };
    for (int h = 0; h < 2; ++h) s.push_back(theme(am, kHookA, h, Drums::Full, Arp::Up16, 0, nullptr));
    for (int h = 0; h < 2; ++h) s.push_back(theme(amE, kHookAnswer, h, Drums::Full, Arp::Up16, 0, nullptr));
    for (int h = 0; h < 2; ++h) s.push_back(theme(fg, kRiffB, h, Drums::Broken, Arp::Chip, 0, nullptr));
    for (int h = 0; h < 2; ++h) s.push_back(theme(dm, kThemeC, h, Drums::Full, Arp::Broken8, 0, kGlassCounter));
    for (int h = 0; h < 2; ++h) s.push_back(theme(amE, kHookAnswer, h, Drums::Full, Arp::Chip, 12, nullptr));
    // 24-26: the bridge: half time while the morph fades, then no kick, rising
    // into the finale as the twin rings return.
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"Dm"}), 44);
        writeDrums(p, Drums::Half);
        writeBass(p, bars({"Dm"}), Bass::Long, 50);
        writeArp(p, bars({"Dm"}), Arp::Broken8, 26);
        writeMelody(p, kChGlass, kGlass, part(kGlassCounter, 0, 1), 4, 34, 12);
        writeCrash(p, 0, 44);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"F"}), 44);
        writeDrums(p, Drums::Half, 48);
        writeBass(p, bars({"F"}), Bass::Long, 48);
        writeArp(p, bars({"F"}), Arp::Broken8, 26);
        writeMelody(p, kChGlass, kGlass, part(kGlassCounter, 1, 1), 4, 34, 12);
    });
    s.push_back([=](XmPattern &p) {
        writePads(p, bars({"G", "Esus"}), 46, true);
        writeBass(p, bars({"G", "Esus"}), Bass::Long, 46);
        writeArp(p, bars({"G", "Esus"}), Arp::Up16, 30);
        writeDrums(p, Drums::Hats, 50);
        writeRoll(p, 0);
        writeRiser(p, 0, 44);
    });
    // 27-38: the finale, four bars an order, looped from 27 while the credits roll.
    auto finale = [=](const Bars &b, const char *tune, Drums d, Arp a, int transpose, bool crash, const char *glass,
                      bool fill) {
        return [=](XmPattern &p) {
            writePads(p, b, 42);
            writeDrums(p, d);
            writeBass(p, b, d == Drums::Half ? Bass::Long : Bass::Rolling, 58);
            writeArp(p, b, a, 26);
            if (tune) writeMelody(p, kChLead, kLead, tune, 2, 48, transpose, true);
            if (glass) writeMelody(p, kChGlass, kGlass, glass, 4, 28);
            if (crash) writeCrash(p, 0);
            if (fill) writeFill(p);
        };
    };
    s.push_back(finale(fin, kAnthemA, Drums::Full, Arp::Up16, 0, true, nullptr, false));
    s.push_back(finale(finB, kAnthemB, Drums::Full, Arp::Up16, 0, false, nullptr, true));
    s.push_back(finale(fin, kAnthemA, Drums::Full, Arp::Chip, 0, true, kGlassFinale, false));
    s.push_back(finale(finB, kAnthemB, Drums::Full, Arp::Chip, 0, false, kGlassFinale, true));
    s.push_back(finale(am, kHookA, Drums::Broken, Arp::Up16, 12, true, nullptr, false));
    s.push_back(finale(amE, kHookAnswer, Drums::Broken, Arp::Up16, 12, false, nullptr, true));
    s.push_back(finale(brk, nullptr, Drums::Half, Arp::Broken8, 0, true, kGlassBreak, false));
    s.push_back(finale(fin, kAnthemA, Drums::Half, Arp::Broken8, -12, false, kGlassIntro, true));
    s.push_back(finale(fin, kAnthemA, Drums::Full, Arp::Up16, 0, true, kGlassFinale, false));
    s.push_back(finale(finB, kAnthemB, Drums::Full, Arp::Up16, 0, false, kGlassFinale, true));
    s.push_back(finale(am, kHookA, Drums::Full, Arp::Up16, 12, true, nullptr, false));
    s.push_back(finale(turn, kTurnaround, Drums::Full, Arp::Chip, 0, true, nullptr, true));
    return s;
}

}  // namespace

XmModule buildTune() {
    XmModule m;
    m.name = "kaveld by morvane";
    m.channels = kChannelCount;
    m.speed = kTuneSpeed;
    m.restart = kFinaleOrder;
    m.instruments = makeInstruments();
    const std::vector<Build> parts = score();
    const std::vector<OrderPlan> plan = orderPlan();
    if (parts.size() != plan.size()) throw std::logic_error("the score and the cue sheet differ in orders");
    m.bpm = plan[0].bpm;
    for (size_t o = 0; o < parts.size(); ++o) {
        XmPattern p = makePattern(plan[o].bars * kRowsPerBar, kChannelCount);
        parts[o](p);
        if (plan[o].bpm != (o ? plan[o - 1].bpm : m.bpm)) setTempo(p, plan[o].bpm);
        // Orders that come out identical share one pattern.
        size_t index = 0;
        while (index < m.patterns.size() && m.patterns[index].cells != p.cells) ++index;
        if (index == m.patterns.size()) m.patterns.push_back(p);
        m.orders.push_back(static_cast<uint8_t>(index));
    }
    return m;
}
