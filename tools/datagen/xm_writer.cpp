// XM encoder: header, order table, packed patterns, instruments with one
// delta-coded 16-bit sample each. Layout per FastTracker 2's 0x0104 format.
#include "xm_writer.h"

#include <cmath>

namespace {

void put8(std::vector<uint8_t> &b, uint32_t v) { b.push_back(v & 255); }
void put16(std::vector<uint8_t> &b, uint32_t v) {
    put8(b, v);
    put8(b, v >> 8);
}
void put32(std::vector<uint8_t> &b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}
void putText(std::vector<uint8_t> &b, const std::string &s, size_t n, char pad) {
    for (size_t i = 0; i < n; ++i) b.push_back(i < s.size() ? static_cast<uint8_t>(s[i]) : pad);
}

void encodePattern(std::vector<uint8_t> &b, const XmPattern &p) {
    std::vector<uint8_t> data;
    for (int r = 0; r < p.rows; ++r)
        for (int c = 0; c < p.channels; ++c) {
            const XmCell &cell = p.at(r, c);
            uint8_t mask = 0x80;
            if (cell.note) mask |= 0x01;
            if (cell.instrument) mask |= 0x02;
            if (cell.volume) mask |= 0x04;
            if (cell.effect) mask |= 0x08;
            if (cell.param) mask |= 0x10;
            data.push_back(mask);
            if (cell.note) data.push_back(cell.note);
            if (cell.instrument) data.push_back(cell.instrument);
            if (cell.volume) data.push_back(cell.volume);
            if (cell.effect) data.push_back(cell.effect);
            if (cell.param) data.push_back(cell.param);
        }
    put32(b, 9);
    put8(b, 0);
    put16(b, p.rows);
    put16(b, static_cast<uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}

void encodeInstrument(std::vector<uint8_t> &b, const XmInstrument &ins) {
    const XmSample &s = ins.sample;
    put32(b, 263);
    putText(b, ins.name, 22, ' ');
    put8(b, 0);
    put16(b, 1);
    put32(b, 40);
    for (int i = 0; i < 96; ++i) put8(b, 0);  // every note plays sample 0
    const XmEnvelope &env = ins.volumeEnvelope;
    for (size_t i = 0; i < 12; ++i) {
        put16(b, i < env.points.size() ? env.points[i].tick : 0);
        put16(b, i < env.points.size() ? env.points[i].value : 0);
    }
    for (int i = 0; i < 12; ++i) put32(b, i == 0 ? 32u << 16 : 0);  // panning envelope: unused, centred
    put8(b, static_cast<uint32_t>(env.points.size()));
    put8(b, 0);
    put8(b, env.sustain < 0 ? 0 : env.sustain);
    put8(b, 0);
    put8(b, 0);
    put8(b, 0);
    put8(b, 0);
    put8(b, 0);
    uint8_t volType = env.points.empty() ? 0 : (1 | (env.sustain >= 0 ? 2 : 0));
    put8(b, volType);
    put8(b, 0);
    put8(b, ins.vibratoType);
    put8(b, ins.vibratoSweep);
    put8(b, ins.vibratoDepth);
    put8(b, ins.vibratoRate);
    put16(b, ins.fadeout);
    for (int i = 0; i < 22; ++i) put8(b, 0);

    put32(b, static_cast<uint32_t>(s.frames.size() * 2));
    put32(b, s.loopStart * 2);
    put32(b, s.loopLength * 2);
    put8(b, s.volume);
    put8(b, static_cast<uint8_t>(s.finetune));
    put8(b, 0x10 | (s.loopLength ? 1 : 0));
    put8(b, s.panning);
    put8(b, static_cast<uint8_t>(s.relativeNote));
    put8(b, 0);
    putText(b, ins.name, 22, ' ');
    int16_t prev = 0;
    for (int16_t v : s.frames) {
        put16(b, static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(prev)));
        prev = v;
    }
}

}  // namespace

XmPattern makePattern(int rows, int channels) {
    XmPattern p;
    p.rows = rows;
    p.channels = channels;
    p.cells.assign(static_cast<size_t>(rows) * channels, XmCell{});
    return p;
}

void tuneSample(XmSample &s, double rate) {
    double semis = 12.0 * std::log2(rate / 8363.0);
    int rel = static_cast<int>(std::lround(semis));
    int fine = static_cast<int>(std::lround((semis - rel) * 128.0));
    if (fine > 127) fine = 127;
    s.relativeNote = static_cast<int8_t>(rel);
    s.finetune = static_cast<int8_t>(fine);
}

std::vector<uint8_t> encodeXm(const XmModule &m) {
    std::vector<uint8_t> b;
    putText(b, "Extended Module: ", 17, ' ');
    putText(b, m.name, 20, ' ');
    put8(b, 0x1a);
    putText(b, "FastTracker v2.00   ", 20, ' ');
    put16(b, 0x0104);
    put32(b, 276);
    put16(b, static_cast<uint32_t>(m.orders.size()));
    put16(b, m.restart);
    put16(b, m.channels);
    put16(b, static_cast<uint32_t>(m.patterns.size()));
    put16(b, static_cast<uint32_t>(m.instruments.size()));
    put16(b, 1);  // linear frequency table
    put16(b, m.speed);
    put16(b, m.bpm);
    for (int i = 0; i < 256; ++i) put8(b, i < static_cast<int>(m.orders.size()) ? m.orders[i] : 0);
    for (const XmPattern &p : m.patterns) encodePattern(b, p);
    for (const XmInstrument &ins : m.instruments) encodeInstrument(b, ins);
    return b;
}

std::vector<double> orderSeconds(const XmModule &m) {
    std::vector<double> out;
    int speed = m.speed, bpm = m.bpm;
    for (uint8_t o : m.orders) {
        const XmPattern &p = m.patterns[o];
        double t = 0;
        for (int r = 0; r < p.rows; ++r) {
            for (int c = 0; c < p.channels; ++c) {
                const XmCell &cell = p.at(r, c);
                if (cell.effect == 0x0f && cell.param) {
                    if (cell.param < 32)
                        speed = cell.param;
                    else
                        bpm = cell.param;
                }
            }
            t += speed * 2.5 / bpm;
        }
        out.push_back(t);
    }
    return out;
}
