// Pattern-writing parts for the tune: drums, bass lines, pad chords,
// arpeggios, melodies with their echo, risers, and the cues the picture asks
// for: a stop before a cut, a hit on it, a hush after it. A pattern is any
// whole number of bars; chord lists and melodies repeat or stop to fill it.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "cue_sheet.h"
#include "samples.h"
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
    kChShaker,
    kChCrash,
    kChannelCount
};

// Bars in a pattern.
inline int barsOf(const XmPattern &p) { return p.rows / kRowsPerBar; }

// XM note number from a name such as "A4", "C#5", "Bb3".
int noteNumber(const std::string &name);

struct Chord {
    int root;                // pitch class 0..11 (C = 0)
    bool minor;              // the third is minor
    int bass;                // XM note of the root, octave 2
    std::array<int, 3> pad;  // voiced triad (or seventh without root) around octave 3-4
    int arpParam;            // 0xy arpeggio intervals over the root
};
// Chord by name: a root (C, C#, Db ... B) and a kind: "" major, "m" minor,
// "maj7", "m7", "sus" (fourth for the third).
Chord chord(const std::string &name);

// One chord a bar, repeated over longer patterns.
using Bars = std::vector<Chord>;
Bars bars(std::initializer_list<const char *> names);

enum class Drums { None, Hats, KickHats, Basic, Full, Broken, Half };
enum class Bass { None, Long, Offbeat, Rolling, Octaves, Pulse };
enum class Arp { None, Up16, Broken8, Chip, Down16, Wide };

void writeDrums(XmPattern &p, Drums style, int hatVolume = 64);
// A groove as five sixteen-step lanes ("x" full, "o" soft, "." rest) on
// the kick, snare, hat and shaker channels (the open lane shares the hats'),
// repeated every bar, played on a kit.
struct Groove {
    const char *kick, *snare, *hat, *open, *shaker;
};
struct Kit {
    int kick, snare, hat, open, shaker;  // instruments
};
constexpr Kit kKit{kKick, kSnare, kHatClosed, kHatOpen, kShaker};
void writeGroove(XmPattern &p, const Groove &g, const Kit &kit, int volume = 64);
// Shaker sixteenths, accented on the off-beats; `every` 1 or 2 rows.
void writeShaker(XmPattern &p, int volume, int every = 1);
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
// The same, with notes as degrees over each bar's chord in the key of
// `keyRoot` minor: 1, 3, 5, 8 the chord's own tones (root, third, fifth,
// octave), 2, 4, 6, 7, 9 the scale's steps above its root; a leading "-"
// an octave down, a trailing "'" an octave up.
void writeDegrees(XmPattern &p, int channel, int instrument, const Bars &b, int keyRoot, const std::string &tokens,
                  int step, int volume, bool echo = false);
void writeRiser(XmPattern &p, int startRow, int volume = 40);
// An effect on `row`, in the first channel from the right whose effect
// column is free there; the tempo (BPM), the speed (ticks a row) and the
// module's global volume (0..64) from `row` on.
void setEffect(XmPattern &p, int row, uint8_t effect, uint8_t param);
void setTempo(XmPattern &p, int row, int bpm);
void setSpeed(XmPattern &p, int row, int ticks);
void setGlobalVolume(XmPattern &p, int row, int volume);

// The cues. A stop silences the groove over the pattern's last `rows` rows
// (pads drop to a murmur); a hit lands kick, crash and bass together on the
// first row; a hush keeps everything but the hit quiet until `untilRow`.
void writeStop(XmPattern &p, int rows);
void writeHit(XmPattern &p, const Chord &c, int volume = 64);
void writeHush(XmPattern &p, int untilRow);
