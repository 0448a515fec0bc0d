// dib_convert.cpp -- the platform's device-independent-bitmap conversion:
// turns the pixel data a normalised info header describes (uncompressed 1, 4,
// 8, 16 (5-5-5), 24 and 32 bits, run-length encoded 8 and 4 bits) into rows
// of 24-bit blue-green-red pixels padded to 4 bytes, in the source's row
// order. Every read stays inside the pixel data handed in, every write inside
// the output; anything it cannot convert gives 0 rows.
#include <cstring>

#include "platform/platform.h"

namespace {

enum : uint32_t { kCompressionNone = 0, kCompressionRle8 = 1, kCompressionRle4 = 2 };

struct Target {
    uint8_t *out;
    uint64_t stride;  // bytes per output row, padding included
    int64_t width, rows;
};

struct Palette {
    const uint8_t *colors;  // 4-byte entries: blue, green, red, reserved
    uint32_t count;
};

uint64_t paddedRowBytes(uint64_t bitsPerRow) { return (bitsPerRow + 31) / 32 * 4; }

// An index past the colour table comes out black.
void putIndexed(uint8_t *pixel, const Palette &palette, uint32_t index) {
    if (index < palette.count) {
        std::memcpy(pixel, palette.colors + (size_t)index * 4, 3);
    } else {
        pixel[0] = pixel[1] = pixel[2] = 0;
    }
}

// Five bits widened to eight, the top bits repeated into the bottom ones.
uint8_t widenFiveBits(uint32_t v) { return (uint8_t)((v << 3) | (v >> 2)); }

void convertRow(const uint8_t *src, uint8_t *dst, int64_t width, unsigned bitCount, const Palette &palette) {
    for (int64_t x = 0; x < width; x++, dst += 3) {
        switch (bitCount) {
        case 1: putIndexed(dst, palette, (src[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: putIndexed(dst, palette, (x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4)); break;
        case 8: putIndexed(dst, palette, src[x]); break;
        case 16: {
            uint32_t word = (uint32_t)src[2 * x] | ((uint32_t)src[2 * x + 1] << 8);
            dst[0] = widenFiveBits(word & 31);
            dst[1] = widenFiveBits((word >> 5) & 31);
            dst[2] = widenFiveBits((word >> 10) & 31);
            break;
        }
        case 24: std::memcpy(dst, src + 3 * x, 3); break;
        default: std::memcpy(dst, src + 4 * x, 3); break;  // 32: blue, green, red, unused
        }
    }
}

bool convertUncompressed(const Target &t, unsigned bitCount, const Palette &palette, const uint8_t *bits,
                         size_t bitsLength) {
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    uint64_t srcStride = paddedRowBytes((uint64_t)bitCount * (uint64_t)t.width);
    if (srcStride > bitsLength / (uint64_t)t.rows) return false;
    for (int64_t row = 0; row < t.rows; row++)
        convertRow(bits + row * srcStride, t.out + row * t.stride, t.width, bitCount, palette);
    return true;
}

// Run-length encoded pixels: (count, value) runs and escapes for end of
// line, end of bitmap, delta moves and absolute runs. Pixels the stream
// skips stay as the output held them; pixels past the row or the last row
// are dropped.
struct RleCursor {
    const Target *target;
    const Palette *palette;
    int64_t x = 0, y = 0;
    void plot(uint32_t index) {
        if (x < target->width && y < target->rows)
            putIndexed(target->out + y * target->stride + x * 3, *palette, index);
        x++;
    }
};

uint32_t rleIndex(uint8_t byte, unsigned i, bool fourBit) {
    if (!fourBit) return byte;
    return (i & 1) ? (byte & 15u) : (byte >> 4);
}

bool convertRle(const Target &t, bool fourBit, const Palette &palette, const uint8_t *bits, size_t length) {
    RleCursor cursor;
    cursor.target = &t;
    cursor.palette = &palette;
    size_t pos = 0;
    for (;;) {
        // A stream cut short is complete only when it had already passed the last row.
        if (length - pos < 2) return cursor.y >= t.rows;
        uint8_t count = bits[pos], value = bits[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; i++) cursor.plot(rleIndex(value, i, fourBit));
            continue;
        }
        if (value == 0) {  // end of line
            cursor.x = 0;
            cursor.y++;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta: right and up (toward later rows)
            if (length - pos < 2) return false;
            cursor.x += bits[pos];
            cursor.y += bits[pos + 1];
            pos += 2;
        } else {  // absolute run of `value` pixels, padded to an even byte count
            size_t bytes = fourBit ? (value + 1u) / 2 : value;
            if (length - pos < bytes) return false;
            for (unsigned i = 0; i < value; i++) cursor.plot(rleIndex(bits[pos + (fourBit ? i / 2 : i)], i, fourBit));
            pos += bytes + (bytes & 1);
            if (pos > length) pos = length;
        }
    }
}

}  // namespace

int Sys_ConvertDibTo24(const PlatformDibHeader *header, const uint8_t *colors, uint32_t colorCount, const uint8_t *bits,
                       size_t bitsLength, uint8_t *out, size_t outLength) {
    if (!header || !out || (!bits && bitsLength) || (!colors && colorCount)) return 0;
    int64_t width = header->width, rows = header->height < 0 ? -(int64_t)header->height : header->height;
    if (width <= 0 || rows <= 0 || rows > INT32_MAX) return 0;
    Target target{out, paddedRowBytes(24 * (uint64_t)width), width, rows};
    if (target.stride > outLength / (uint64_t)rows) return 0;
    Palette palette{colors, colorCount};

    bool converted = false;
    if (header->compression == kCompressionNone)
        converted = convertUncompressed(target, header->bitCount, palette, bits, bitsLength);
    else if (header->compression == kCompressionRle8 && header->bitCount == 8)
        converted = convertRle(target, false, palette, bits, bitsLength);
    else if (header->compression == kCompressionRle4 && header->bitCount == 4)
        converted = convertRle(target, true, palette, bits, bitsLength);
    return converted ? (int)rows : 0;
}
