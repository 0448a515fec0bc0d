// bmp_fixture.cpp -- see bmp_fixture.h.
#include "assets/bmp_fixture.h"

#include <cstdio>
#include <cstdlib>

#include "support/test_support.h"

namespace {

void put16(std::string &s, uint32_t v) {
    s += (char)(v & 0xFF);
    s += (char)((v >> 8) & 0xFF);
}
void put32(std::string &s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

std::string dibHeader(const DibFixture &f) {
    std::string h;
    put32(h, f.headerSize);
    if (f.headerSize == 12) {
        put16(h, (uint32_t)f.width);
        put16(h, (uint32_t)f.height);
        put16(h, f.planes);
        put16(h, f.bitCount);
        return h;
    }
    put32(h, (uint32_t)f.width);
    put32(h, (uint32_t)f.height);
    put16(h, f.planes);
    put16(h, f.bitCount);
    put32(h, f.compression);
    put32(h, f.imageSize);
    put32(h, 2835);
    put32(h, 2835);
    put32(h, f.colorsUsed);
    put32(h, 0);
    while (h.size() < f.headerSize) h += '\0';
    return h;
}

}  // namespace

std::string buildBmp(const DibFixture &f) {
    std::string body = dibHeader(f);
    body.append(f.colorTable.begin(), f.colorTable.end());
    std::string file;
    if (f.fileHeader) {
        uint32_t offset = f.pixelOffset >= 0 ? (uint32_t)f.pixelOffset : (uint32_t)(14 + body.size());
        file = "BM";
        put32(file, (uint32_t)(14 + body.size() + f.pixels.size()));
        put32(file, 0);
        put32(file, offset);
        file += body;
        while (file.size() < offset && offset < 4096) file += (char)0;
    } else {
        file = body;
    }
    file.append(f.pixels.begin(), f.pixels.end());
    return file;
}

std::vector<uint8_t> rows24(const std::vector<uint8_t> &rgb, int width, int height) {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const uint8_t *p = &rgb[(size_t)(y * width + x) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
        while (out.size() % 4) out.push_back(0);
    }
    return out;
}

bool decodeWithPil(const std::string &path, DecodedPixels *out) {
    std::string raw = path + ".pil";
    std::string command =
        "timeout 60 /usr/bin/python3 " KAVELD_ASSETS_TEST_DIR "/pil_decode.py '" + path + "' '" + raw + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return false;
    FILE *f = std::fopen(raw.c_str(), "rb");
    if (!f) return false;
    bool ok = std::fscanf(f, "%d %d", &out->width, &out->height) == 2 && std::fgetc(f) == '\n';
    if (ok) {
        out->rgb.resize((size_t)out->width * out->height * 3);
        ok = std::fread(out->rgb.data(), 1, out->rgb.size(), f) == out->rgb.size();
    }
    std::fclose(f);
    return ok;
}

bool decodeWithConvert(const std::string &path, int width, int height, DecodedPixels *out) {
    std::string raw = path + ".rgb";
    if (!runConvert("'" + path + "' -flip -depth 8 rgb:'" + raw + "'")) return false;
    FILE *f = std::fopen(raw.c_str(), "rb");
    if (!f) return false;
    out->width = width, out->height = height;
    out->rgb.resize((size_t)width * height * 3 + 1);
    bool ok = std::fread(out->rgb.data(), 1, out->rgb.size(), f) == out->rgb.size() - 1;
    out->rgb.pop_back();
    std::fclose(f);
    return ok;
}

bool runConvert(const std::string &arguments) {
    std::string command = "timeout 60 /usr/bin/convert " + arguments + " 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

std::string patternPpm(int width, int height, int colors) {
    std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            int c = (x * 7 + y * 3) % colors;
            ppm += (char)(c * 37 % 256);
            ppm += (char)(255 - c * 11 % 256);
            ppm += (char)((c * 91 + 40) % 256);
        }
    }
    return ppm;
}
