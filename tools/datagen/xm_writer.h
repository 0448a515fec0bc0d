// FastTracker 2 modules (XM 0x0104): the in-memory song and its encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Notes: 1 = C-0 ... 49 = C-4 ... 96 = B-7; 97 = key-off.
constexpr uint8_t kKeyOff = 97;

struct XmCell {
    uint8_t note = 0;
    uint8_t instrument = 0;
    uint8_t volume = 0;  // volume column: 0x10..0x50 = volume 0..64, 0 = none
    uint8_t effect = 0;
    uint8_t param = 0;
    bool operator==(const XmCell &o) const {
        return note == o.note && instrument == o.instrument && volume == o.volume && effect == o.effect &&
               param == o.param;
    }
    bool operator!=(const XmCell &o) const { return !(*this == o); }
};

struct XmPattern {
    int rows = 64;
    int channels = 0;
    std::vector<XmCell> cells;  // row-major
    XmCell &at(int row, int channel) { return cells[static_cast<size_t>(row) * channels + channel]; }
    const XmCell &at(int row, int channel) const { return cells[static_cast<size_t>(row) * channels + channel]; }
};
XmPattern makePattern(int rows, int channels);

struct XmEnvelopePoint {
    uint16_t tick;
    uint16_t value;
};

struct XmEnvelope {
    std::vector<XmEnvelopePoint> points;  // at most 12; empty = envelope off
    int sustain = -1;                     // point index, -1 for none
};

struct XmSample {
    std::vector<int16_t> frames;  // 16-bit mono
    uint32_t loopStart = 0;       // in frames
    uint32_t loopLength = 0;      // in frames, 0 = no loop
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    XmSample sample;
    XmEnvelope volumeEnvelope;
    uint16_t fadeout = 0;
    uint8_t vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct XmModule {
    std::string name;
    int channels = 8;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// Sets relative note and finetune so that C-4 plays the sample at `rate` Hz.
void tuneSample(XmSample &s, double rate);

std::vector<uint8_t> encodeXm(const XmModule &m);

// Play time of one order entry, following speed/tempo (Fxx) changes from
// the song's start through the order list.
std::vector<double> orderSeconds(const XmModule &m);
