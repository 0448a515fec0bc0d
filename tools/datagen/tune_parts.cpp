// Pattern-writing parts for the tune: each writes its own channels of a
// pattern from a chord list or a melody string; the cues (stop, hit, hush)
// rewrite every channel around a cut.
#include "tune_parts.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>

#include "samples.h"

namespace {

// Volume column value for a score volume 0..64, scaled for mix headroom:
// the loudest orders peak about 3 dB below full scale.
uint8_t vol(int v) {
    v = v < 0 ? 0 : (v > 64 ? 64 : v);
    return static_cast<uint8_t>(0x10 + (v * 30 + 16) / 32);
}

// The mix: each instrument's level against the score's volumes (64 as
// written). A note's volume column overrides its sample's own volume, so the
// balance is set here.
int mixed(int ins, int volume) {
    static const int gain[kInstrumentCount + 1] = {
        64,   // (no instrument)
        46,   // kick
        60,   // snare
        104,  // closed hat
        90,   // open hat
        72,   // crash
        38,   // bass
        60,   // pad
        64,   // lead
        64,   // pluck
        64,   // glass
        64,   // riser
        124,  // shaker
        60,   // saw lead
        46,   // big kick
        64,   // clap
        70,   // ride
        100,  // tambourine
    };
    return volume * gain[ins >= 0 && ins <= kInstrumentCount ? ins : 0] / 64;
}

void put(XmPattern &p, int row, int ch, int note, int ins, int volume, int fx = 0, int param = 0) {
    if (row < 0 || row >= p.rows) return;
    XmCell &c = p.at(row, ch);
    c.note = static_cast<uint8_t>(note);
    c.instrument = static_cast<uint8_t>(ins);
    c.volume = volume >= 0 ? vol(mixed(ins, volume)) : 0;
    c.effect = static_cast<uint8_t>(fx);
    c.param = static_cast<uint8_t>(param);
}

void fx(XmPattern &p, int row, int ch, int effect, int param) {
    if (row < 0 || row >= p.rows) return;
    p.at(row, ch).effect = static_cast<uint8_t>(effect);
    p.at(row, ch).param = static_cast<uint8_t>(param);
}

}  // namespace

int noteNumber(const std::string &name) {
    static const std::map<char, int> base = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    size_t i = 0;
    int pc = base.at(name.at(i++));
    if (name.at(i) == '#')
        pc++, i++;
    else if (name.at(i) == 'b')
        pc--, i++;
    int octave = name.at(i) - '0';
    return 12 * octave + pc + 1;
}

Chord chord(const std::string &n) {
    static const std::map<char, int> base = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    size_t i = 1;
    int root = base.at(n.at(0));
    if (n.size() > 1 && (n[1] == '#' || n[1] == 'b')) root = (root + (n[1] == '#' ? 1 : 11)) % 12, i = 2;
    const std::string kind = n.substr(i);
    std::vector<int> tones;  // above the root
    if (kind.empty())
        tones = {4, 7};
    else if (kind == "m")
        tones = {3, 7};
    else if (kind == "maj7")
        tones = {4, 7, 11};
    else if (kind == "m7")
        tones = {3, 7, 10};
    else if (kind == "sus")
        tones = {5, 7};
    else
        throw std::invalid_argument("unknown chord " + n);
    if (tones.size() == 2) tones.insert(tones.begin(), 0);  // a triad keeps its root; a seventh drops it
    Chord c;
    c.root = root;
    c.minor = kind == "m" || kind == "m7";
    c.bass = 12 * (root < 2 ? 3 : 2) + root + 1;
    // Each tone in G3..F#4, lowest first.
    for (size_t t = 0; t < 3; ++t) {
        int pc = (root + tones[t]) % 12;
        c.pad[t] = 12 * (pc >= 7 ? 3 : 4) + pc + 1;
    }
    std::sort(c.pad.begin(), c.pad.end());
    c.arpParam = kind == "sus" ? 0x57 : (c.minor ? 0x37 : 0x47);
    return c;
}

Bars bars(std::initializer_list<const char *> names) {
    Bars out;
    for (const char *n : names) out.push_back(chord(n));
    return out;
}

void writeDrums(XmPattern &p, Drums style, int hatVolume) {
    auto hv = [hatVolume](int v) { return v * hatVolume / 64; };
    auto kick = [&](int r, int v = 64) { put(p, r, kChKick, 49, kKick, v); };
    auto snare = [&](int r, int v = 60) { put(p, r, kChSnare, 49, kSnare, v); };
    auto hat = [&](int r, int v, bool open = false) { put(p, r, kChHat, 49, open ? kHatOpen : kHatClosed, hv(v)); };
    for (int r = 0; r < p.rows; ++r) {
        const int beat = r % 16, bar = r / 16;
        const bool quarter = r % 4 == 0, offbeat = r % 4 == 2, turn = bar % 4 == 3;  // every fourth bar turns
        switch (style) {
        case Drums::None: break;
        case Drums::Hats:
            if (offbeat) hat(r, 40);
            break;
        case Drums::KickHats:
            if (quarter) kick(r, 60);
            if (offbeat) hat(r, 52);
            if (turn && beat == 15) hat(r, 30);
            break;
        case Drums::Basic:
            if (quarter) kick(r);
            if (beat == 4 || beat == 12) snare(r, 56);
            if (offbeat) hat(r, 56, turn && beat == 14);
            break;
        case Drums::Full:
            if (quarter) kick(r);
            if (beat == 4 || beat == 12) snare(r);
            if (beat == 15 && bar % 2 == 1) snare(r, 26);
            if (offbeat)
                hat(r, 48, true);
            else
                hat(r, r % 2 ? 30 : 44);
            break;
        case Drums::Broken:
            if (beat == 0 || beat == 6 || beat == 10) kick(r);
            if (beat == 4 || beat == 12) snare(r);
            if (beat == 14) snare(r, 24);
            hat(r, offbeat ? 50 : (r % 2 ? 26 : 38), turn && beat == 10);
            break;
        case Drums::Half:
            if (beat == 0 || beat == 10) kick(r, 60);
            if (beat == 8) snare(r, 54);
            if (r % 2 == 0) hat(r, quarter ? 40 : 28);
            break;
        }
    }
}

void writeGroove(XmPattern &p, const Groove &g, const Kit &kit, int volume) {
    struct Lane {
        const char *steps;
        int channel, instrument, full;
    } lanes[] = {{g.kick, kChKick, kit.kick, 64},
                 {g.snare, kChSnare, kit.snare, 60},
                 {g.hat, kChHat, kit.hat, 44},
                 {g.open, kChHat, kit.open, 50},
                 {g.shaker, kChShaker, kit.shaker, 56}};
    for (const Lane &l : lanes) {
        const std::string steps(l.steps);
        for (int r = 0; r < p.rows; ++r) {
            const char step = static_cast<size_t>(r % 16) < steps.size() ? steps[r % 16] : '.';
            if (step == 'x' || step == 'o')
                put(p, r, l.channel, 49, l.instrument, (step == 'x' ? l.full : l.full / 2) * volume / 64);
        }
    }
}

void writeShaker(XmPattern &p, int volume, int every) {
    for (int r = 0; r < p.rows; r += every) {
        const int beat = r % 16;
        int v = r % 4 == 2 ? volume : (r % 4 == 0 ? volume * 3 / 4 : volume / 2);
        if (beat == 14 && (r / 16) % 2) v = volume;
        put(p, r, kChShaker, 49, kShaker, v);
    }
}

void writeCrash(XmPattern &p, int row, int volume) { put(p, row, kChCrash, 49, kCrash, volume); }

void writeFill(XmPattern &p) {
    const int start = p.rows - 8;
    for (int r = start; r < p.rows; ++r) {
        put(p, r, kChSnare, 49, kSnare, 30 + (r - start) * 4);
        if (r % 4 == 0) put(p, r, kChKick, 49, kKick, 60);
    }
}

void writeRoll(XmPattern &p, int firstBar) {
    for (int r = firstBar * kRowsPerBar; r < p.rows; ++r) {
        int bar = r / kRowsPerBar, last = barsOf(p) - 1;
        int every = bar == last ? 1 : (bar == last - 1 ? 2 : 4);
        if (r % every) continue;
        int volume = 18 + 44 * (r - firstBar * kRowsPerBar) / (p.rows - firstBar * kRowsPerBar);
        put(p, r, kChSnare, 49, kSnare, volume);
    }
}

void writeBass(XmPattern &p, const Bars &b, Bass style, int volume) {
    for (int bar = 0; bar < barsOf(p); ++bar) {
        int root = b[bar % b.size()].bass, row0 = bar * kRowsPerBar;
        int next = b[(bar + 1) % b.size()].bass;
        switch (style) {
        case Bass::None: break;
        case Bass::Long:
            put(p, row0, kChBass, root, kBass, volume);
            put(p, row0 + 14, kChBass, kKeyOff, 0, -1);
            break;
        case Bass::Offbeat:
            for (int k = 0; k < 4; ++k) {
                put(p, row0 + 4 * k + 2, kChBass, root + 12, kBass, volume);
                put(p, row0 + 4 * k + 4, kChBass, kKeyOff, 0, -1);
            }
            break;
        case Bass::Rolling:
            for (int k = 0; k < 16; ++k) {
                if (k % 4 == 0) continue;  // room for the kick
                int n = (k % 4 == 2) ? root + 12 : root;
                put(p, row0 + k, kChBass, n, kBass, k % 4 == 2 ? volume : volume * 3 / 4);
            }
            // Glide into the next bar's root on the last sixteenth.
            if (next != root) {
                XmCell &c = p.at(row0 + 15, kChBass);
                c.note = static_cast<uint8_t>(next);
                c.effect = 0x03;
                c.param = 0x30;
            }
            break;
        case Bass::Octaves:
            for (int k = 0; k < 8; ++k) put(p, row0 + 2 * k, kChBass, k % 2 ? root + 12 : root, kBass, volume);
            break;
        case Bass::Pulse:  // driving eighths on the root, a fifth on the last
            for (int k = 0; k < 8; ++k)
                put(p, row0 + 2 * k, kChBass, k == 7 ? root + 7 : root, kBass, k % 2 ? volume * 3 / 4 : volume);
            break;
        }
    }
    if (style == Bass::Rolling || style == Bass::Octaves || style == Bass::Pulse) {
        // The pattern ends with its last note cut short, so the next pattern's
        // first downbeat is clean.
        XmCell &last = p.at(p.rows - 1, kChBass);
        if (!last.note) last.note = kKeyOff;
    }
}

void writePads(XmPattern &p, const Bars &b, int volume, bool swell) {
    const int ch[3] = {kChPad1, kChPad2, kChPad3};
    const int pan[3] = {0x40, 0x80, 0xc0};
    for (int bar = 0; bar < barsOf(p); ++bar) {
        const Chord &c = b[bar % b.size()];
        bool same = bar > 0 && c.pad == b[(bar - 1) % b.size()].pad;
        for (int v = 0; v < 3; ++v) {
            int row = bar * kRowsPerBar;
            if (same) continue;
            put(p, row, ch[v], c.pad[v], kPad, swell && bar == 0 ? volume / 4 : volume, 0x08, pan[v]);
        }
    }
    if (swell) {
        // Fine volume slides (volume column 0x92: +2 per row) up to the pad's level.
        int rows = (volume - volume / 4) / 2;
        for (int r = 1; r <= rows && r < p.rows; ++r)
            for (int c : ch)
                if (!p.at(r, c).note) p.at(r, c).volume = 0x92;
    }
}

void writeArp(XmPattern &p, const Bars &b, Arp style, int volume) {
    for (int bar = 0; bar < barsOf(p); ++bar) {
        const Chord &c = b[bar % b.size()];
        int tones[4] = {c.pad[0] + 12, c.pad[1] + 12, c.pad[2] + 12, c.pad[0] + 24};
        int row0 = bar * kRowsPerBar;
        switch (style) {
        case Arp::None: break;
        case Arp::Up16: {
            static const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 2, 1, 3};
            for (int k = 0; k < 16; ++k)
                put(p, row0 + k, kChArp, tones[order[k]], kPluck, k % 4 == 0 ? volume : volume * 3 / 4);
            break;
        }
        case Arp::Broken8: {
            static const int order[8] = {0, 2, 1, 3, 0, 2, 3, 1};
            for (int k = 0; k < 8; ++k) put(p, row0 + 2 * k, kChArp, tones[order[k]], kPluck, volume);
            break;
        }
        case Arp::Down16: {
            static const int order[16] = {3, 2, 1, 0, 2, 1, 3, 2, 1, 0, 3, 1, 2, 0, 1, 2};
            for (int k = 0; k < 16; ++k)
                put(p, row0 + k, kChArp, tones[order[k]] + 12 * (k < 4 && bar % 2), kPluck,
                    k % 4 == 2 ? volume : volume * 2 / 3);
            break;
        }
        case Arp::Wide:  // two octaves up and down in eighths
            for (int k = 0; k < 8; ++k) {
                static const int order[8] = {0, 2, 3, 1, 3, 2, 0, 1};
                put(p, row0 + 2 * k, kChArp, tones[order[k]] + (k >= 4 ? 12 : 0), kPluck, volume);
            }
            break;
        case Arp::Chip:
            put(p, row0, kChArp, c.bass + 24, kLead, volume, 0x00, c.arpParam);
            for (int k = 1; k < 16; ++k) fx(p, row0 + k, kChArp, 0x00, c.arpParam);
            put(p, row0 + 14, kChArp, kKeyOff, 0, -1);
            break;
        }
    }
}

void writeMelody(XmPattern &p, int channel, int instrument, const std::string &tokens, int step, int volume,
                 int transpose, bool echo) {
    std::istringstream in(tokens);
    std::string t;
    int row = 0;
    bool vibrato = false;
    auto emit = [&](int r, int note, bool glide) {
        if (glide) {
            put(p, r, channel, note, 0, -1, 0x03, 0x18);
            for (int k = 1; k < step; ++k) fx(p, r + k, channel, 0x03, 0x00);
        } else {
            put(p, r, channel, note, note == kKeyOff ? 0 : instrument, note == kKeyOff ? -1 : volume);
        }
        if (echo && r + 3 < p.rows) {
            XmCell src = p.at(r, channel);
            XmCell &e = p.at(r + 3, kChEcho);
            e = src;
            if (e.note && e.note != kKeyOff) e.instrument = static_cast<uint8_t>(instrument);
            if (e.volume) e.volume = vol(volume * 2 / 5);
            if (e.effect == 0x03) e = XmCell{src.note, static_cast<uint8_t>(instrument), vol(volume * 2 / 5), 0, 0};
        }
    };
    std::vector<std::string> all;
    while (in >> t)
        if (t != "|") all.push_back(t);
    const int length = static_cast<int>(all.size()) * step;
    if (all.empty() || length % kRowsPerBar) throw std::invalid_argument("melody is not whole bars: " + tokens);
    for (size_t i = 0; row < p.rows; ++i) {
        t = all[i % all.size()];
        if (t == ".") {
            if (vibrato)
                for (int k = 0; k < step; ++k) fx(p, row + k, channel, 0x04, 0x00);
            row += step;
            continue;
        }
        vibrato = false;
        if (t == "r") {
            emit(row, kKeyOff, false);
        } else {
            bool glide = t[0] == '/';
            if (glide) t = t.substr(1);
            if (t.back() == '~') vibrato = true, t.pop_back();
            emit(row, noteNumber(t) + transpose, glide);
            if (vibrato) {
                fx(p, row + 1, channel, 0x04, 0x46);
                for (int k = 2; k < step; ++k) fx(p, row + k, channel, 0x04, 0x00);
            }
        }
        row += step;
    }
}

void writeRiser(XmPattern &p, int startRow, int volume) {
    // Filtered noise sliding up in pitch (1xx) while it swells (fine volume
    // slide +1 per row in the volume column).
    put(p, startRow, kChFx, noteNumber("C3"), kNoise, volume / 4, 0x01, 0x03);
    for (int r = startRow + 1; r < p.rows; ++r) {
        p.at(r, kChFx).effect = 0x01;
        p.at(r, kChFx).param = 0x03;
        if (r - startRow <= volume - volume / 4) p.at(r, kChFx).volume = 0x91;
    }
}

namespace {

// Channels a stop or a hush silences, and the pads they turn down.
const int kGroove[] = {kChKick, kChSnare, kChHat, kChShaker, kChBass, kChLead, kChArp, kChEcho, kChGlass, kChFx};
const int kPads[] = {kChPad1, kChPad2, kChPad3};
constexpr uint8_t kNoteCut = 0x0e, kCutNow = 0xc0;  // ECx: cut the note on tick x

void cut(XmPattern &p, int row, int ch) { p.at(row, ch) = XmCell{0, 0, 0, kNoteCut, kCutNow}; }

std::string noteName(int note) {
    static const char *const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return names[(note - 1) % 12] + std::to_string((note - 1) / 12);
}

// Semitones of degree `d` over the chord's root, in `keyRoot` minor (its
// seventh raised under a major chord on the fifth).
int degreeOffset(const Chord &c, int keyRoot, int d) {
    if (d == 1) return 0;
    if (d == 8) return 12;
    if (d == 3) return c.arpParam >> 4;
    if (d == 5) return 7;
    int scale[7] = {0, 2, 3, 5, 7, 8, 10};
    if (!c.minor && (c.root - keyRoot + 12) % 12 == 7) scale[6] = 11;
    std::vector<int> above;  // the scale's pitches above the root, two octaves
    for (int octave = 0; octave < 2; ++octave)
        for (int s : scale) {
            int off = ((keyRoot + s - c.root) % 12 + 12) % 12 + 12 * octave;
            if (off > 0) above.push_back(off);
        }
    std::sort(above.begin(), above.end());
    return above.at(static_cast<size_t>(d - 2));
}

}  // namespace

void writeDegrees(XmPattern &p, int channel, int instrument, const Bars &b, int keyRoot, const std::string &tokens,
                  int step, int volume, bool echo) {
    std::istringstream in(tokens);
    std::vector<std::string> all;
    for (std::string t; in >> t;)
        if (t != "|") all.push_back(t);
    if (all.empty() || (static_cast<int>(all.size()) * step) % kRowsPerBar)
        throw std::invalid_argument("melody is not whole bars: " + tokens);
    std::string notes;
    for (int i = 0; i * step < p.rows; ++i) {
        std::string t = all[i % all.size()];
        if (t == "." || t == "r") {
            notes += t + " ";
            continue;
        }
        std::string glide = t[0] == '/' ? "/" : "";
        if (!glide.empty()) t = t.substr(1);
        const bool vibrato = t.back() == '~';
        if (vibrato) t.pop_back();
        int octave = 0;
        if (t[0] == '-') octave = -12, t = t.substr(1);
        if (t.back() == '\'') octave = 12, t.pop_back();
        const Chord &c = b[(i * step / kRowsPerBar) % b.size()];
        const int root = 12 * (c.root >= 2 ? 4 : 5) + c.root + 1;  // D4..C#5
        notes += glide + noteName(root + octave + degreeOffset(c, keyRoot, std::stoi(t))) + (vibrato ? "~ " : " ");
    }
    writeMelody(p, channel, instrument, notes, step, volume, 0, echo);
}

void setEffect(XmPattern &p, int row, uint8_t effect, uint8_t param) {
    for (int c = kChannelCount - 1; c >= 0; --c) {
        XmCell &cell = p.at(row, c);
        if (cell.effect || cell.param) continue;
        cell.effect = effect;
        cell.param = param;
        return;
    }
    throw std::logic_error("no free effect column");
}
void setTempo(XmPattern &p, int row, int bpm) { setEffect(p, row, 0x0f, static_cast<uint8_t>(bpm)); }
void setSpeed(XmPattern &p, int row, int ticks) { setEffect(p, row, 0x0f, static_cast<uint8_t>(ticks)); }
void setGlobalVolume(XmPattern &p, int row, int volume) { setEffect(p, row, 0x10, static_cast<uint8_t>(volume)); }

void writeStop(XmPattern &p, int rows) {
    const int start = p.rows - rows;
    for (int r = start; r < p.rows; ++r)
        for (int ch : kGroove) p.at(r, ch) = XmCell{};
    for (int r = start; r < p.rows; ++r)
        for (int ch : kPads) p.at(r, ch) = XmCell{};
    for (int ch : kGroove) cut(p, start, ch);
    cut(p, start, kChCrash);
    for (int ch : kPads) p.at(start, ch).volume = vol(10);
}

void writeHit(XmPattern &p, const Chord &c, int volume) {
    put(p, 0, kChKick, 49, kKick, volume);
    put(p, 0, kChCrash, 49, kCrash, volume);
    XmCell &bass = p.at(0, kChBass);
    bass = XmCell{static_cast<uint8_t>(c.bass), static_cast<uint8_t>(kBass), vol(mixed(kBass, volume)), 0, 0};
}

void writeHush(XmPattern &p, int untilRow) {
    for (int r = 1; r < untilRow; ++r)
        for (int ch : kGroove) p.at(r, ch) = XmCell{};
    for (int ch : kGroove)
        if (ch != kChKick) cut(p, ch == kChBass ? 3 : 1, ch);
    for (int r = 1; r < untilRow; ++r) p.at(r, kChCrash).volume = 0x64;  // slide down 4 a tick
    int padVolume[3];
    for (int v = 0; v < 3; ++v) {
        padVolume[v] = p.at(0, kPads[v]).volume;
        p.at(1, kPads[v]).volume = vol(6);
    }
    for (int v = 0; v < 3; ++v)  // back to their level as the music comes in
        if (padVolume[v] && !p.at(untilRow, kPads[v]).volume) p.at(untilRow, kPads[v]).volume = uint8_t(padVolume[v]);
}
