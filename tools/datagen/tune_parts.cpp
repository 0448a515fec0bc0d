// Pattern-writing parts for the tune: each writes its own channels of a
// four-bar pattern from a chord list or a melody string.
#include "tune_parts.h"

#include <map>
#include <sstream>
#include <stdexcept>

#include "samples.h"

namespace {

// Volume column value for a score volume 0..64, scaled for mix headroom:
// the loudest orders peak about 3 dB below full scale.
uint8_t vol(int v) {
    v = v < 0 ? 0 : (v > 64 ? 64 : v);
    return static_cast<uint8_t>(0x10 + (v * 23 + 16) / 32);
}

void put(XmPattern &p, int row, int ch, int note, int ins, int volume, int fx = 0, int param = 0) {
    if (row < 0 || row >= p.rows) return;
    XmCell &c = p.at(row, ch);
    c.note = static_cast<uint8_t>(note);
    c.instrument = static_cast<uint8_t>(ins);
    c.volume = volume >= 0 ? vol(volume) : 0;
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
    auto c = [](const char *bass, const char *a, const char *b, const char *d, int arp) {
        return Chord{noteNumber(bass), {noteNumber(a), noteNumber(b), noteNumber(d)}, arp};
    };
    if (n == "Am") return c("A2", "A3", "C4", "E4", 0x37);
    if (n == "F") return c("F2", "A3", "C4", "F4", 0x47);
    if (n == "C") return c("C3", "G3", "C4", "E4", 0x47);
    if (n == "G") return c("G2", "G3", "B3", "D4", 0x47);
    if (n == "E") return c("E2", "G#3", "B3", "E4", 0x47);
    if (n == "Dm") return c("D2", "A3", "D4", "F4", 0x37);
    if (n == "Em") return c("E2", "G3", "B3", "E4", 0x37);
    if (n == "Bb") return c("A#2", "A#3", "D4", "F4", 0x47);
    if (n == "Fmaj7") return c("F2", "A3", "C4", "E4", 0x47);
    if (n == "Em7") return c("E2", "G3", "B3", "D4", 0x37);
    if (n == "Dm7") return c("D2", "F3", "A3", "C4", 0x37);
    if (n == "Esus") return c("E2", "A3", "B3", "E4", 0x57);
    throw std::invalid_argument("unknown chord " + n);
}

Bars bars(std::initializer_list<const char *> names) {
    Bars out;
    for (const char *n : names) out.push_back(chord(n));
    return out;
}

void writeDrums(XmPattern &p, Drums style, int hatVolume) {
    auto hv = [hatVolume](int v) { return v * hatVolume / 64; };
    for (int r = 0; r < p.rows; ++r) {
        int beat = r % 16;
        bool quarter = r % 4 == 0, offbeat = r % 4 == 2;
        switch (style) {
        case Drums::None: break;
        case Drums::Hats:
            if (offbeat) put(p, r, kChHat, 49, kHatClosed, hv(40));
            break;
        case Drums::KickHats:
            if (quarter) put(p, r, kChKick, 49, kKick, 60);
            if (offbeat) put(p, r, kChHat, 49, kHatClosed, hv(52));
            break;
        case Drums::Basic:
            if (quarter) put(p, r, kChKick, 49, kKick, 64);
            if (beat == 4 || beat == 12) put(p, r, kChSnare, 49, kSnare, 56);
            if (offbeat) put(p, r, kChHat, 49, kHatClosed, hv(56));
            break;
        case Drums::Full:
            if (quarter) put(p, r, kChKick, 49, kKick, 64);
            if (beat == 4 || beat == 12) put(p, r, kChSnare, 49, kSnare, 60);
            if (beat == 15 && (r / 16) % 2 == 1) put(p, r, kChSnare, 49, kSnare, 26);
            if (offbeat)
                put(p, r, kChHat, 49, kHatOpen, hv(48));
            else
                put(p, r, kChHat, 49, kHatClosed, hv(r % 2 ? 30 : 44));
            break;
        case Drums::Broken:
            if (beat == 0 || beat == 6 || beat == 10) put(p, r, kChKick, 49, kKick, 64);
            if (beat == 4 || beat == 12) put(p, r, kChSnare, 49, kSnare, 60);
            if (beat == 14) put(p, r, kChSnare, 49, kSnare, 24);
            put(p, r, kChHat, 49, kHatClosed, hv(offbeat ? 50 : (r % 2 ? 26 : 38)));
            break;
        case Drums::Half:
            if (beat == 0 || beat == 10) put(p, r, kChKick, 49, kKick, 60);
            if (beat == 8) put(p, r, kChSnare, 49, kSnare, 54);
            if (r % 2 == 0) put(p, r, kChHat, 49, kHatClosed, hv(quarter ? 40 : 28));
            break;
        }
    }
}

void writeCrash(XmPattern &p, int row, int volume) { put(p, row, kChFx, 49, kCrash, volume); }

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
        }
    }
    if (style == Bass::Rolling || style == Bass::Octaves) {
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
