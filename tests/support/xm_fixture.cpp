// xm_fixture.cpp -- writes the small XM modules described in xm_fixture.h.
#include "support/xm_fixture.h"

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/temp_dir.h"

namespace {

void put8(std::vector<uint8_t> &out, int v) { out.push_back(static_cast<uint8_t>(v)); }
void put16(std::vector<uint8_t> &out, int v) {
    put8(out, v & 0xFF);
    put8(out, (v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t> &out, uint32_t v) {
    put16(out, static_cast<int>(v & 0xFFFF));
    put16(out, static_cast<int>(v >> 16));
}
void putText(std::vector<uint8_t> &out, const char *text, size_t width) {
    size_t n = strlen(text);
    for (size_t i = 0; i < width; i++) put8(out, i < n ? text[i] : ' ');
}
void putZeros(std::vector<uint8_t> &out, size_t n) { out.insert(out.end(), n, 0); }

void putHeader(std::vector<uint8_t> &out, const XmFixture &xm) {
    putText(out, "Extended Module: ", 17);
    putText(out, "kaveld test", 20);
    put8(out, 0x1A);
    putText(out, "FastTracker v2.00", 20);
    put16(out, 0x0104);
    put32(out, 276);
    put16(out, static_cast<int>(xm.orders.size()));
    put16(out, xm.restart);
    put16(out, 2);  // channels
    put16(out, xm.patterns);
    put16(out, 1);  // instruments
    put16(out, 1);  // linear frequency table
    put16(out, xm.speed);
    put16(out, xm.bpm);
    for (size_t i = 0; i < 256; i++) put8(out, i < xm.orders.size() ? xm.orders[i] : 0);
}

// Row 0 plays C-4 with instrument 1 at full volume on channel 0, the key-off
// row releases it (at once: the instrument has no envelope); all else empty.
void putPattern(std::vector<uint8_t> &out, const XmFixture &xm) {
    std::vector<uint8_t> cells;
    for (int row = 0; row < xm.rowsPerPattern; row++) {
        if (row == 0) {
            put8(cells, 0x80 | 0x01 | 0x02 | 0x04);
            put8(cells, 49);
            put8(cells, 1);
            put8(cells, 0x50);
        } else if (row == xm.keyOffRow) {
            put8(cells, 0x80 | 0x01);
            put8(cells, 97);
        } else {
            put8(cells, 0x80);
        }
        put8(cells, 0x80);
    }
    put32(out, 9);
    put8(out, 0);
    put16(out, xm.rowsPerPattern);
    put16(out, static_cast<int>(cells.size()));
    out.insert(out.end(), cells.begin(), cells.end());
}

// One instrument, one forward-looped 8-bit square wave of 32 frames.
void putInstrument(std::vector<uint8_t> &out) {
    const int length = 32;
    put32(out, 263);
    putText(out, "square", 22);
    put8(out, 0);
    put16(out, 1);
    put32(out, 40);
    putZeros(out, 96);             // every note plays sample 0
    putZeros(out, 48 + 48);        // envelopes
    putZeros(out, 2 + 6 + 2 + 4);  // point counts, sustain/loop points, types, vibrato
    put16(out, 0);                 // fadeout
    putZeros(out, 22);
    put32(out, length);
    put32(out, 0);
    put32(out, length);
    put8(out, 64);
    put8(out, 0);
    put8(out, 1);  // forward loop, 8-bit
    put8(out, 128);
    put8(out, 0);
    put8(out, 0);
    putText(out, "square", 22);
    int previous = 0;
    for (int i = 0; i < length; i++) {
        int value = i < length / 2 ? 64 : -64;
        put8(out, (value - previous) & 0xFF);
        previous = value;
    }
}

}  // namespace

long xmOrderFrames(const XmFixture &xm, int rate) {
    return static_cast<long>(rate * 2.5 / xm.bpm + 0.5) * xm.speed * xm.rowsPerPattern;
}

std::vector<uint8_t> buildXm(const XmFixture &xm) {
    std::vector<uint8_t> out;
    putHeader(out, xm);
    for (int p = 0; p < xm.patterns; p++) putPattern(out, xm);
    putInstrument(out);
    return out;
}

std::string writeTempFile(const std::string &name, const std::vector<uint8_t> &bytes) {
    std::string path = test::tempPath(name);
    FILE *file = fopen(path.c_str(), "wb");
    if (file) {
        if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    return path;
}
