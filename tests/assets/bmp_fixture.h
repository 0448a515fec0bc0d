// bmp_fixture.h -- .bmp files built byte by byte for the asset tests, and the
// independent tools (ImageMagick, Pillow) the decoder is checked against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DibFixture {
    uint32_t headerSize = 40;  // 12, 40 or anything else
    bool fileHeader = true;
    int32_t width = 1, height = 1;
    uint16_t planes = 1, bitCount = 24;
    uint32_t compression = 0, imageSize = 0, colorsUsed = 0;
    std::vector<uint8_t> colorTable;  // stored entries as they are (3 or 4 bytes each)
    std::vector<uint8_t> pixels;      // pixel data as stored
    int64_t pixelOffset = -1;         // file header's offset; -1: right behind the colour table
};

std::string buildBmp(const DibFixture &fixture);
// 24-bit rows (blue, green, red, padded to 4 bytes) from packed red-green-blue rows, bottom first.
std::vector<uint8_t> rows24(const std::vector<uint8_t> &rgb, int width, int height);

struct DecodedPixels {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // bottom row first
};
// Pillow's reading of a file; false when it fails.
bool decodeWithPil(const std::string &path, DecodedPixels *out);
// ImageMagick's reading of a file whose size is known; false when it fails.
bool decodeWithConvert(const std::string &path, int width, int height, DecodedPixels *out);
// Runs /usr/bin/convert with the arguments (with a time limit); true on success.
bool runConvert(const std::string &arguments);
// A binary PPM with a colour pattern of `colors` distinct colours.
std::string patternPpm(int width, int height, int colors);
