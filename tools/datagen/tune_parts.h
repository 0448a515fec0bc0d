// Pattern-writing parts for the tune: drums, bass lines, pad chords,
// arpeggios, melodies with their echo, risers. A pattern is any whole number
// of bars; chord lists and melodies repeat or stop to fill it.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "cue_sheet.h"
#include "xm_writer.h"

enum Channel : int {
    kChKick,
    kChSnare,
    kChHat,
    kChBass,
    kChPad1,
    kChPad2,
    kChPad3,
    kChLead,
    kChArp,
    kChEcho,
    kChFx,
    kChGlass,
    kChannelCount
};

// Bars in a pattern.
inline int barsOf(const XmPattern &p) { return p.rows / kRowsPerBar; }

// XM note number from a name such as "A4", "C#5", "Bb3".
int noteNumber(const std::string &name);

struct Chord {
    int bass;                // XM note of the root, octave 2
    std::array<int, 3> pad;  // voiced triad around octave 3-4
    int arpParam;            // 0xy arpeggio intervals over the root
};
// Chord by name: Am, F, C, G, E, Dm, Em, Bb, Fmaj7, Em7, Dm7, Esus.
Chord chord(const std::string &name);

// One chord a bar, repeated over longer patterns.
using Bars = std::vector<Chord>;
Bars bars(std::initializer_list<const char *> names);

enum class Drums { None, Hats, KickHats, Basic, Full, Broken, Half };
enum class Bass { None, Long, Offbeat, Rolling, Octaves };
enum class Arp { None, Up16, Broken8, Chip };

void writeDrums(XmPattern &p, Drums style, int hatVolume = 64);
void writeCrash(XmPattern &p, int row, int volume = 64);
// Snare fill over the last half bar, or a roll from `firstBar` to the end
// that tightens and swells (build-ups).
void writeFill(XmPattern &p);
void writeRoll(XmPattern &p, int firstBar);
void writeBass(XmPattern &p, const Bars &b, Bass style, int volume = 64);
// Volume 0..64; `swell` adds a slow volume slide up from a low start.
void writePads(XmPattern &p, const Bars &b, int volume, bool swell = false);
void writeArp(XmPattern &p, const Bars &b, Arp style, int volume);
// Melody tokens, `step` rows each: "A4" note, "." hold, "r" key-off,
// prefix "/" glides (portamento), suffix "~" adds vibrato to the hold;
// "|" is ignored (bar marks). Echo goes to kChEcho three rows later. The
// tokens make whole bars and repeat, or stop, to fill the pattern.
void writeMelody(XmPattern &p, int channel, int instrument, const std::string &tokens, int step, int volume,
                 int transpose = 0, bool echo = false);
void writeRiser(XmPattern &p, int startRow, int volume = 40);
