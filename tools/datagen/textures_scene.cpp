// The still card (a dusk landscape over water) and the table of texture
// files with their makers.
#include <cmath>

#include "textures.h"

namespace {

const int kHorizon = 318;

// Height of a ridge line in rows above the horizon at column x.
float ridge(int x, float scale, float height, uint32_t seed) {
    float n = fbm(x / scale, 0.5f, 5, 512, seed);
    float peaks = std::pow(n, 1.6f);
    return height * peaks;
}

Rgb skyAt(int y) {
    const Rgb top = hexRgb(0x070420), mid = hexRgb(0x4a1458), low = hexRgb(0xe0583a), glow = hexRgb(0xffc060);
    float t = static_cast<float>(y) / kHorizon;
    if (t < 0.55f) return mixRgb(top, mid, t / 0.55f);
    if (t < 0.9f) return mixRgb(mid, low, (t - 0.55f) / 0.35f);
    return mixRgb(low, glow, (t - 0.9f) / 0.1f);
}

// The sun, cut by horizontal bars that thicken toward the horizon.
float sunAt(float x, float y) {
    const float cx = 256, cy = 238, radius = 78;
    float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    float disc = 1 - smoothstep(radius - 1.5f, radius + 1.5f, d);
    float below = (y - (cy - 10)) / (radius + 10);
    if (below > 0) {
        float period = 14, gap = 1.5f + 6 * below;
        float phase = std::fmod(y - cy + 10, period);
        if (phase < gap) disc *= 0.0f;
    }
    return disc;
}

}  // namespace

Image makeStillCard() {
    Image img = makeImage(512, 512);
    const Rgb sunTop = hexRgb(0xfff0a0), sunLow = hexRgb(0xff5a8a);
    const Rgb farHill = hexRgb(0x5a2a70), nearHill = hexRgb(0x140a24);
    for (int y = 0; y < kHorizon; ++y)
        for (int x = 0; x < 512; ++x) {
            Rgb c = skyAt(y);
            float star = hashUnit(x, y, 7);
            if (star > 0.9965f && y < 220) c = c + hexRgb(0xffffff) * ((star - 0.9965f) / 0.0035f * (1 - y / 220.0f));
            float s = sunAt(x, y);
            float halo = std::exp(-std::pow(std::hypot(x - 256.0f, y - 238.0f) / 120.0f, 2.0f));
            c = c + hexRgb(0xff8040) * (0.35f * halo);
            c = mixRgb(c, mixRgb(sunTop, sunLow, (y - 160) / 156.0f), s);
            float far = kHorizon - ridge(x, 90, 120, 11) - 6;
            float near = kHorizon - ridge(x + 900, 60, 70, 23);
            if (y > far) c = mixRgb(c, farHill * (0.7f + 0.5f * (y - far) / 90.0f), 0.85f);
            if (y > near) c = nearHill + hexRgb(0xff6040) * (0.12f * std::exp(-(kHorizon - y) / 6.0f));
            img.px[static_cast<size_t>(y) * 512 + x] = c;
        }
    // Water: the sky mirrored with rippled rows, darker toward the viewer.
    for (int y = kHorizon; y < 512; ++y) {
        float depth = static_cast<float>(y - kHorizon) / (512 - kHorizon);
        for (int x = 0; x < 512; ++x) {
            float wobble = 6 * std::sin(y * 0.9f + x * 0.02f) * depth + 3 * std::sin(x * 0.11f + y * 0.3f) * depth;
            int sx = static_cast<int>(x + wobble);
            sx = sx < 0 ? 0 : (sx > 511 ? 511 : sx);
            int sy = kHorizon - 1 - static_cast<int>((y - kHorizon) * 0.9f);
            sy = sy < 0 ? 0 : sy;
            Rgb c = img.px[static_cast<size_t>(sy) * 512 + sx] * (0.55f - 0.3f * depth);
            float glitter = std::pow(0.5f + 0.5f * std::sin(x * 0.35f + y * 2.3f), 16.0f);
            float lane = std::exp(-std::pow((x - 256) / (40.0f + 90 * depth), 2.0f));
            c = c + hexRgb(0xffb060) * (0.5f * glitter * lane);
            img.px[static_cast<size_t>(y) * 512 + x] = c;
        }
    }
    return img;
}

std::vector<TextureFile> textureFiles() {
    return {
        {"lod.bmp", makeLoadingImage},
        {"t00.bmp", makeOpeningCard},
        {"t01.bmp", makeBallTexture},
        {"t02.bmp", makeRingGlow},
        {"t03.bmp", makeTwinRings},
        {"t04.bmp", makeFlare},
        {"t05.bmp", makeBanner},
        {"t06.bmp", makeStillCard},
        {"t07.bmp", makeChromeMap},
        {"t08.bmp", makeBackdrop},
        {"t09.bmp", [] { return makeCreditSlide(0); }},
        {"t10.bmp", [] { return makeCreditSlide(1); }},
        {"t11.bmp", [] { return makeCreditSlide(2); }},
        {"t12.bmp", [] { return makeCreditSlide(3); }},
        {"t13.bmp", [] { return makeCreditSlide(4); }},
        {"t14.bmp", [] { return makeCreditSlide(5); }},
        {"t15.bmp", [] { return makeCreditSlide(6); }},
        {"t16.bmp", [] { return makeCreditSlide(7); }},
    };
}
