// The tune's score. A minor at 125 BPM, four bars per order:
//   0-1 intro (pads, glass bells), 2-6 build-up, 7-11 drive, 12-13 break,
//   14-25 main theme, 26 bridge, 27-37 finale (looped from 27).
#include "tune.h"

#include <functional>

#include "samples.h"
#include "tune_parts.h"

namespace {

// Melodies: eight tokens per bar at two rows a token, or four at four rows.
const char* const kHookA =
    "E5 . . D5 C5 . A4 . | C5 . . B4 A4 . F4 . | G4 . C5 . E5 . D5 C5 | D5~ . . . B4 . G4 .";
const char* const kHookAnswer =
    "E5 . . D5 C5 . A4 . | C5 . . B4 A4 . C5 . | E5 . G5 . E5 . D5 C5 | B4~ . . . /G#4 . . .";
const char* const kRiffB =
    "A4 . C5 . F5 . E5 . | D5 . . B4 . G4 B4 D5 | E5 . . D5 B4 . G4 . | A4~ . . . . . r .";
const char* const kRiffB2 =
    "F5 . E5 . C5 . A4 . | B4 . D5 . G5 . F5 E5 | /G5 . . E5 D5 . B4 . | A4~ . . . . . r .";
const char* const kThemeC =
    "D5 . F5 . A5 . G5 F5 | G5 . . D5 . B4 . D5 | E5 . G5 . C6 . B5 G5 | A5~ . . . . . r .";
const char* const kAnthemA =
    "C5 . . . F5 . . E5 | D5 . . . G5 . . F5 | E5 . . . A5~ . . . | . . . . G5 . E5 .";
const char* const kAnthemB =
    "F5 . . . A5 . . G5 | G5 . . . B5 . . A5 | /C6 . . . G5 . E5 . | G#5~ . . . B5 . . .";
const char* const kTurnaround =
    "C5 . . . D5 . . . | D5 . . . G5 . F5 . | E5~ . . . . . . . | B4 . D5 . E5 . G#5 .";
const char* const kGlassIntro = "A4 . E5 . | F4 . C5 . | G4 . E5 . | D5 . B4 .";
const char* const kGlassBreak = "E5 . C5 . | D5 . B4 . | C5 . A4 . | B4 . G#4 .";
const char* const kGlassCounter = "A4 . D5 . | B4 . D5 . | C5 . E5 . | C5 . A4 .";
const char* const kGlassFinale = "A5 . C6 . | B5 . D6 . | C6 . E6 . | B5 . G#5 .";

using Build = std::function<void(XmPattern&)>;

XmPattern compose(const Build& b) {
  XmPattern p = makePattern(kRows, kChannelCount);
  b(p);
  return p;
}

// One entry per order, in play order.
std::vector<Build> score() {
  const Bars am = bars("Am", "F", "C", "G"), amE = bars("Am", "F", "C", "E");
  const Bars fg = bars("F", "G", "Em", "Am");
  const Bars brk = bars("Fmaj7", "Em7", "Dm7", "E"), dm = bars("Dm", "G", "C", "Am");
  const Bars fin = bars("F", "G", "Am", "Am"), finB = bars("F", "G", "C", "E");
  const Bars bridge = bars("Dm", "F", "G", "Esus"), turn = bars("F", "G", "E", "E");
  const Bars build = bars("Dm", "Dm", "E", "E");
  std::vector<Build> s;
  // 0-1: intro, quiet.
  s.push_back([=](XmPattern& p) {
    writePads(p, am, 36, true);
    writeMelody(p, kChGlass, kGlass, kGlassIntro, 4, 34);
  });
  s.push_back([=](XmPattern& p) {
    writePads(p, am, 40);
    writeMelody(p, kChGlass, kGlass, kGlassIntro, 4, 40, 12);
    writeDrums(p, Drums::Hats, 36);
    writeArp(p, am, Arp::Broken8, 22);
  });
  // 2-6: build-up.
  s.push_back([=](XmPattern& p) {
    writePads(p, am, 42);
    writeDrums(p, Drums::KickHats, 48);
    writeBass(p, am, Bass::Long, 50);
    writeArp(p, am, Arp::Broken8, 26);
    writeCrash(p, 0, 40);
  });
  s.push_back([=](XmPattern& p) {
    writePads(p, am, 42);
    writeDrums(p, Drums::KickHats, 56);
    writeBass(p, am, Bass::Offbeat, 52);
    writeArp(p, am, Arp::Up16, 28);
  });
  s.push_back([=](XmPattern& p) {
    writePads(p, amE, 44);
    writeDrums(p, Drums::Basic, 56);
    writeBass(p, amE, Bass::Offbeat, 54);
    writeArp(p, amE, Arp::Up16, 30);
    writeMelody(p, kChLead, kLead, kHookA, 2, 34);
  });
  s.push_back([=](XmPattern& p) {
    writePads(p, fg, 44);
    writeDrums(p, Drums::Basic, 60);
    writeBass(p, fg, Bass::Octaves, 54);
    writeArp(p, fg, Arp::Chip, 26);
    writeMelody(p, kChLead, kLead, kRiffB, 2, 38, 0, true);
  });
  s.push_back([=](XmPattern& p) {
    writePads(p, build, 46);
    writeDrums(p, Drums::KickHats, 60);
    writeRoll(p, 0);
    writeBass(p, build, Bass::Octaves, 56);
    writeArp(p, build, Arp::Up16, 32);
    writeRiser(p, 16, 44);
  });
  // 7-11: full drive.
  auto driveOrder = [=](const Bars& b, const char* tune, bool crash, bool fill) {
    return [=](XmPattern& p) {
      writePads(p, b, 40);
      writeDrums(p, Drums::Full);
      writeBass(p, b, Bass::Rolling, 58);
      writeArp(p, b, Arp::Up16, 28);
      writeMelody(p, kChLead, kLead, tune, 2, 48, 0, true);
      if (crash) writeCrash(p, 0);
      if (fill) writeFill(p);
    };
  };
  s.push_back(driveOrder(am, kHookA, true, false));
  s.push_back(driveOrder(amE, kHookAnswer, false, true));
  s.push_back(driveOrder(fg, kRiffB, true, false));
  s.push_back(driveOrder(fg, kRiffB2, false, true));
  s.push_back(driveOrder(amE, kHookAnswer, true, true));
  // 12-13: the break.
  s.push_back([=](XmPattern& p) {
    writePads(p, brk, 44, true);
    writeBass(p, brk, Bass::Long, 40);
    writeMelody(p, kChGlass, kGlass, kGlassBreak, 4, 44);
    writeCrash(p, 0, 30);
  });
  s.push_back([=](XmPattern& p) {
    writePads(p, brk, 46);
    writeBass(p, brk, Bass::Long, 44);
    writeMelody(p, kChGlass, kGlass, kGlassBreak, 4, 44, 12);
    writeArp(p, brk, Arp::Broken8, 24);
    writeRoll(p, 2);
    writeRiser(p, 32, 40);
  });
  // 14-25: the main theme.
  auto theme = [=](const Bars& b, const char* tune, Drums d, Arp a, int transpose, bool crash,
                   const char* glass) {
    return [=](XmPattern& p) {
      writePads(p, b, 38);
      writeDrums(p, d);
      writeBass(p, b, d == Drums::Half ? Bass::Octaves : Bass::Rolling, 56);
      writeArp(p, b, a, 26);
      writeMelody(p, kChLead, kLead, tune, 2, 46, transpose, true);
      if (glass) writeMelody(p, kChGlass, kGlass, glass, 4, 30, 12);
      if (crash) writeCrash(p, 0);
    };
  };
  s.push_back(theme(am, kHookA, Drums::Full, Arp::Up16, 0, true, nullptr));
  s.push_back(theme(amE, kHookAnswer, Drums::Full, Arp::Up16, 0, false, nullptr));
  s.push_back(theme(fg, kRiffB, Drums::Broken, Arp::Chip, 0, true, nullptr));
  s.push_back(theme(fg, kRiffB2, Drums::Broken, Arp::Chip, 0, false, nullptr));
  s.push_back(theme(dm, kThemeC, Drums::Full, Arp::Broken8, 0, true, kGlassCounter));
  s.push_back(theme(dm, kThemeC, Drums::Full, Arp::Up16, -12, false, kGlassCounter));
  s.push_back(theme(am, kHookA, Drums::Full, Arp::Up16, 12, true, nullptr));
  s.push_back(theme(amE, kHookAnswer, Drums::Full, Arp::Chip, 12, false, nullptr));
  s.push_back(theme(fg, kRiffB, Drums::Broken, Arp::Up16, 0, true, nullptr));
  s.push_back(theme(fg, kRiffB2, Drums::Broken, Arp::Up16, 0, false, nullptr));
  s.push_back(theme(am, kHookA, Drums::Half, Arp::Broken8, 0, true, kGlassIntro));
  s.push_back(theme(amE, kHookAnswer, Drums::Half, Arp::Broken8, 0, false, kGlassIntro));
  // 26: the bridge, no kick, rising into the finale.
  s.push_back([=](XmPattern& p) {
    writePads(p, bridge, 46, true);
    writeBass(p, bridge, Bass::Long, 46);
    writeArp(p, bridge, Arp::Up16, 30);
    writeDrums(p, Drums::Hats, 50);
    writeRoll(p, 1);
    writeRiser(p, 24, 44);
  });
  // 27-37: the finale, looped from 27 while the credits roll.
  auto finale = [=](const Bars& b, const char* tune, Drums d, Arp a, int transpose, bool crash,
                    const char* glass, bool fill) {
    return [=](XmPattern& p) {
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
  s.push_back(finale(turn, kTurnaround, Drums::Full, Arp::Chip, 0, true, nullptr, true));
  return s;
}

}  // namespace

XmModule buildTune() {
  XmModule m;
  m.name = "kaveld by morvane";
  m.channels = kChannelCount;
  m.speed = kTuneSpeed;
  m.bpm = kTuneBpm;
  m.restart = kFinaleOrder;
  m.instruments = makeInstruments();
  for (const Build& b : score()) {
    XmPattern p = compose(b);
    // Orders that come out identical share one pattern.
    size_t index = 0;
    while (index < m.patterns.size() && m.patterns[index].cells != p.cells) ++index;
    if (index == m.patterns.size()) m.patterns.push_back(p);
    m.orders.push_back(static_cast<uint8_t>(index));
  }
  return m;
}
