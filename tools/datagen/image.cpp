// Float RGB images for the texture generator: pixel helpers, blurs,
// deterministic noise and the 24-bit BMP encoder.
#include "image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Image makeImage(int w, int h) {
    Image img;
    img.w = w;
    img.h = h;
    img.px.assign(static_cast<size_t>(w) * h, Rgb{0, 0, 0});
    return img;
}

Plane makePlane(int w, int h) {
    Plane p;
    p.w = w;
    p.h = h;
    p.v.assign(static_cast<size_t>(w) * h, 0.0f);
    return p;
}

float clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }
float mixf(float a, float b, float t) { return a + (b - a) * t; }

float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgb mixRgb(Rgb a, Rgb b, float t) { return {mixf(a.r, b.r, t), mixf(a.g, b.g, t), mixf(a.b, b.b, t)}; }

Rgb hexRgb(uint32_t rgb) { return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f}; }

void addPixel(Image &img, int x, int y, Rgb c, float k) {
    if (x < 0 || y < 0 || x >= img.w || y >= img.h) return;
    Rgb &p = img.px[static_cast<size_t>(y) * img.w + x];
    p = p + c * k;
}

void addPlane(Image &img, const Plane &p, int ox, int oy, Rgb c) {
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            float a = p.v[static_cast<size_t>(y) * p.w + x];
            if (a != 0.0f) addPixel(img, ox + x, oy + y, c, a);
        }
}

void vignetteToBlack(Image &img, float innerRadius, float outerRadius) {
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float u = (x + 0.5f) / img.w * 2 - 1;
            float v = (y + 0.5f) / img.h * 2 - 1;
            float d = std::max(std::fabs(u), std::fabs(v));
            float k = 1.0f - smoothstep(innerRadius, outerRadius, d);
            Rgb &p = img.px[static_cast<size_t>(y) * img.w + x];
            p = p * k;
        }
}

void scaleImage(Image &img, float k) {
    for (Rgb &p : img.px) p = p * k;
}

static void boxPass(std::vector<float> &v, int w, int h, int radius, bool horizontal) {
    std::vector<float> line(horizontal ? w : h);
    int n = horizontal ? w : h;
    int lines = horizontal ? h : w;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> float & {
            return horizontal ? v[static_cast<size_t>(l) * w + i] : v[static_cast<size_t>(i) * w + l];
        };
        double sum = 0;
        for (int i = -radius; i <= radius; ++i)
            if (i >= 0 && i < n) sum += at(i);
        for (int i = 0; i < n; ++i) {
            line[i] = static_cast<float>(sum / (2 * radius + 1));
            int out = i - radius, in = i + radius + 1;
            if (out >= 0) sum -= at(out);
            if (in < n) sum += at(in);
        }
        for (int i = 0; i < n; ++i) at(i) = line[i];
    }
}

void blurPlane(Plane &p, int radius) {
    if (radius <= 0) return;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(p.v, p.w, p.h, radius, true);
        boxPass(p.v, p.w, p.h, radius, false);
    }
}

float hashUnit(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return (h & 0xffffff) / 16777215.0f;
}

float valueNoise(float x, float y, int period, uint32_t seed) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - xi, fy = y - yi;
    auto wrap = [period](int i) { return static_cast<uint32_t>(((i % period) + period) % period); };
    float a = hashUnit(wrap(xi), wrap(yi), seed), b = hashUnit(wrap(xi + 1), wrap(yi), seed);
    float c = hashUnit(wrap(xi), wrap(yi + 1), seed), d = hashUnit(wrap(xi + 1), wrap(yi + 1), seed);
    float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    return mixf(mixf(a, b, sx), mixf(c, d, sx), sy);
}

float fbm(float x, float y, int octaves, int period, uint32_t seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(x, y, period, seed + o * 101u);
        norm += amp;
        x *= 2;
        y *= 2;
        period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

static void put16(std::vector<uint8_t> &b, uint32_t v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
static void put32(std::vector<uint8_t> &b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

std::vector<uint8_t> encodeBmp(const Image &img) {
    static const float kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const uint32_t rowBytes = (static_cast<uint32_t>(img.w) * 3 + 3) & ~3u;
    const uint32_t dataBytes = rowBytes * img.h;
    std::vector<uint8_t> b;
    b.reserve(54 + dataBytes);
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + dataBytes);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, img.w);
    put32(b, img.h);
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);
    put32(b, dataBytes);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    for (int row = img.h - 1; row >= 0; --row) {
        size_t start = b.size();
        for (int x = 0; x < img.w; ++x) {
            const Rgb &p = img.px[static_cast<size_t>(row) * img.w + x];
            float d = (kBayer[row & 3][x & 3] + 0.5f) / 16.0f;
            auto q = [d](float c) {
                float v = clamp01(c) * 255.0f;
                if (v <= 0.0f) return static_cast<uint8_t>(0);  // black stays black
                return static_cast<uint8_t>(std::min(255.0f, std::floor(v + d)));
            };
            b.push_back(q(p.b));
            b.push_back(q(p.g));
            b.push_back(q(p.r));
        }
        while (b.size() - start < rowBytes) b.push_back(0);
    }
    return b;
}

bool writeBmp(const Image &img, const std::string &path) {
    std::vector<uint8_t> bytes = encodeBmp(img);
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
