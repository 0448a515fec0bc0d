// Procedural textures for the effects: the ball's metal, the ring glow,
// the twin rings' spiral, the billboard flare, the chrome environment map
// and the morph scene's backdrop.
#include <cmath>

#include "textures.h"

namespace {

const float kPi = 3.14159265358979f;

// Centred coordinates in -1..1 (y up) for pixel (x, y).
void centred(const Image &img, int x, int y, float &u, float &v) {
    u = (x + 0.5f) / img.w * 2 - 1;
    v = 1 - (y + 0.5f) / img.h * 2;
}

Rgb &at(Image &img, int x, int y) { return img.px[static_cast<size_t>(y) * img.w + x]; }

}  // namespace

// s (across) comes from the sphere map and sweeps as the ball spins: bands
// of steel, silver and copper. t (down each face) runs 0..1 over every face:
// a bevelled tile with a bright ridge, so each latitude band reads as a rib.
Image makeBallTexture() {
    Image img = makeImage(256, 256);
    const Rgb steel = hexRgb(0x3a5a8c), silver = hexRgb(0xe8f0ff), copper = hexRgb(0xd0783a), deep = hexRgb(0x101830);
    for (int y = 0; y < img.h; ++y) {
        float t = 1 - (y + 0.5f) / img.h;
        float bevel = 0.35f + 0.65f * smoothstep(0.0f, 0.12f, t) * smoothstep(1.0f, 0.86f, t);
        float ridge = std::exp(-std::pow((t - 0.62f) / 0.07f, 2.0f));
        float under = 0.8f + 0.2f * std::sin(t * kPi);
        for (int x = 0; x < img.w; ++x) {
            float s = (x + 0.5f) / img.w;
            float a = 0.5f + 0.5f * std::sin(s * 2 * kPi * 3 + 0.6f);
            float b = 0.5f + 0.5f * std::sin(s * 2 * kPi * 5 + 2.1f);
            Rgb base = mixRgb(mixRgb(deep, steel, a), copper, b * b * 0.8f);
            float glint = std::pow(0.5f + 0.5f * std::sin(s * 2 * kPi * 7), 24.0f);
            Rgb c = base * (bevel * under) + mixRgb(silver, copper, b * 0.4f) * (ridge * 0.75f + glint * 0.5f * bevel);
            at(img, x, y) = c;
        }
    }
    return img;
}

Image makeRingGlow() {
    Image img = makeImage(256, 256);
    const Rgb core = hexRgb(0xfff6e8), halo = hexRgb(0x3aa0ff), rim = hexRgb(0x7a40ff);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float u, v;
            centred(img, x, y, u, v);
            float r = std::sqrt(u * u + v * v);
            float fade = 1 - smoothstep(0.7f, 0.96f, r);
            Rgb c = core * (0.9f * std::exp(-std::pow(r / 0.1f, 2.0f))) +
                    halo * (0.45f * std::exp(-std::pow(r / 0.32f, 2.0f))) +
                    rim * (0.12f * std::exp(-std::pow((r - 0.55f) / 0.12f, 2.0f)));
            at(img, x, y) = c * fade;
        }
    return img;
}

// Rings crossed by sixteen spiral arms: two copies turning at different
// speeds beat against each other.
Image makeTwinRings() {
    Image img = makeImage(512, 512);
    const Rgb inner = hexRgb(0x8030ff), mid = hexRgb(0x2060ff), outer = hexRgb(0x20d0ff);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float u, v;
            centred(img, x, y, u, v);
            float r = std::sqrt(u * u + v * v);
            float a = std::atan2(v, u);
            float rings = std::pow(0.5f + 0.5f * std::cos(r * 2 * kPi * 11), 3.0f);
            float arms = std::pow(0.5f + 0.5f * std::cos(a * 16 + r * 14), 2.0f);
            float fine = 0.5f + 0.5f * std::cos(r * 2 * kPi * 44);
            float shape = rings * (0.35f + 0.65f * arms) + 0.12f * fine * arms;
            float radial = smoothstep(0.02f, 0.25f, r) * (1 - smoothstep(0.86f, 0.99f, r));
            Rgb c = r < 0.5f ? mixRgb(inner, mid, r / 0.5f) : mixRgb(mid, outer, (r - 0.5f) / 0.5f);
            // White-hot crests where rings and arms meet: the rings read even while they fade.
            float crest = std::pow(rings, 4.0f) * arms * radial;
            at(img, x, y) =
                c * (0.62f * shape * radial) + hexRgb(0xffffff) * (0.1f * rings * arms * radial + 0.8f * crest);
        }
    return img;
}

// A star flare: hot core, long cross spikes, short diagonals and a halo ring.
Image makeFlare() {
    Image img = makeImage(256, 256);
    const Rgb hot = hexRgb(0xfff8e0), gold = hexRgb(0xffa030), rose = hexRgb(0xff4a70);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float u, v;
            centred(img, x, y, u, v);
            float r = std::sqrt(u * u + v * v);
            float au = std::fabs(u), av = std::fabs(v);
            float cross = std::exp(-av / 0.012f) * std::pow(clamp01(1 - au), 3.0f) +
                          std::exp(-au / 0.012f) * std::pow(clamp01(1 - av), 3.0f);
            float d1 = std::fabs(u - v) * 0.7071f, d2 = std::fabs(u + v) * 0.7071f;
            float diag = (std::exp(-d1 / 0.01f) + std::exp(-d2 / 0.01f)) * std::pow(clamp01(1 - r / 0.6f), 3.0f);
            float core = std::exp(-std::pow(r / 0.07f, 2.0f));
            float glow = std::exp(-std::pow(r / 0.28f, 2.0f));
            float ring = std::exp(-std::pow((r - 0.5f) / 0.025f, 2.0f));
            float fade = 1 - smoothstep(0.85f, 0.98f, std::fmax(au, av));
            Rgb c = hot * (core + 0.8f * cross + 0.45f * diag) + gold * (0.45f * glow) + rose * (0.22f * ring);
            at(img, x, y) = c * fade;
        }
    return img;
}

// Sphere map: a studio sky over a dark floor and a bright sun window, inside
// a rim of one soft colour. The morph scene sends no normals, so its sphere
// map turns on the one current normal: when that normal lies across the view,
// every vertex samples near the disc's rim, at an angle that follows its
// place on the picture; detail there (the floor's checks, the sky's glints, a
// frame) would streak the mesh. So the detail fades out before the rim, and
// only the outermost texels are a bright frame: the wireframe pass draws the
// faces' own corners, whose edges sample the texture's border.
Image makeChromeMap() {
    Image img = makeImage(256, 256);
    const Rgb zenith = hexRgb(0x1a3a8a), horizon = hexRgb(0xd8ecff), floorNear = hexRgb(0x2a2018),
              floorFar = hexRgb(0x8a6a50), frame = hexRgb(0xb8e4ff);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            if (x == 0 || y == 0 || x == img.w - 1 || y == img.h - 1) {
                at(img, x, y) = frame;
                continue;
            }
            float u, v;
            centred(img, x, y, u, v);
            // Outside the disc the rim's colour carries on outward.
            float r = std::sqrt(u * u + v * v);
            if (r > 0.95f) u *= 0.95f / r, v *= 0.95f / r, r = 0.95f;
            const float detail = 1 - smoothstep(0.6f, 0.88f, r);  // the checks, glints, sun and horizon line
            float hz = 0.12f * (1 - r * r);                       // the horizon bends with the ball
            float sky = smoothstep(-0.02f - 0.3f * (1 - detail), 0.02f + 0.3f * (1 - detail), v - hz);
            float up = clamp01((v - hz) / (1 - hz)), down = clamp01((hz - v) / (1 + hz));
            Rgb top = mixRgb(horizon, zenith, 1 - (1 - up) * (1 - up));
            float a = std::atan2(v, u);
            top = top + hexRgb(0xffffff) * (0.25f * std::pow(0.5f + 0.5f * std::cos(a * 9), 12.0f) * up * detail);
            Rgb bottom = mixRgb(floorFar, floorNear, 1 - (1 - down) * (1 - down));
            float checks =
                (static_cast<int>(std::floor(u * 8 / (0.3f + down))) + static_cast<int>(std::floor(down * 10))) & 1;
            bottom = bottom * (0.925f + (checks - 0.5f) * 0.25f * detail);
            Rgb c = mixRgb(bottom, top, sky);
            c = c + hexRgb(0xffffff) * (detail * std::exp(-std::pow((v - hz) / 0.02f, 2.0f)));
            float sun = std::exp(-(std::pow(u + 0.35f, 2.0f) + std::pow(v - 0.45f, 2.0f)) / 0.012f);
            c = c + hexRgb(0xfff0d0) * (sun * detail);
            at(img, x, y) = Rgb{clamp01(c.r), clamp01(c.g), clamp01(c.b)};
        }
    return img;
}

// Dim plasma in deep blue and violet with a faint lattice of glowing dots.
Image makeBackdrop() {
    Image img = makeImage(512, 512);
    const Rgb a = hexRgb(0x06103a), b = hexRgb(0x3a1a78), c = hexRgb(0x0a5a7a);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float u, v;
            centred(img, x, y, u, v);
            float p = std::sin(u * 7.0f + 1.3f) + std::sin(v * 5.0f - 0.4f) + std::sin((u + v) * 6.0f) +
                      std::sin(std::sqrt((u + 0.3f) * (u + 0.3f) + v * v) * 11.0f);
            float t = 0.5f + 0.125f * p;
            Rgb col = t < 0.5f ? mixRgb(a, b, t * 2) : mixRgb(b, c, t * 2 - 1);
            float cloud = fbm((u + 1) * 4, (v + 1) * 4, 5, 8, 71);
            col = col * (0.55f + 0.9f * cloud);
            float gx = std::fabs(std::fmod(x + 16.0f, 32.0f) - 16), gy = std::fabs(std::fmod(y + 16.0f, 32.0f) - 16);
            float dot = std::exp(-(gx * gx + gy * gy) / 3.0f);
            float line = 0.5f * (std::exp(-gx * gx / 0.8f) + std::exp(-gy * gy / 0.8f));
            // Glowing nodes on the grid, a few texels wide, bright enough to show while the scene fades.
            // They sit between the grid's dots, so none falls on the border.
            float nx = std::fabs(std::fmod(x + 0.0f, 32.0f) - 16), ny = std::fabs(std::fmod(y + 0.0f, 32.0f) - 16);
            float node = std::exp(-(nx * nx + ny * ny) / 24.0f);
            col = (col + hexRgb(0x4aa0ff) * (0.22f * dot + 0.035f * line) + hexRgb(0xc8ecff) * (1.5f * node)) * 0.8f;
            at(img, x, y) = Rgb{clamp01(col.r), clamp01(col.g), clamp01(col.b)};
        }
    vignetteToBlack(img, 0.9f, 1.0f);
    return img;
}
