// Float RGB images for the texture generator: pixels, colour helpers,
// blurs, deterministic noise, and the 24-bit BMP writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    float r, g, b;
};

// Row 0 is the top row of the picture; the BMP writer flips it.
struct Image {
    int w = 0;
    int h = 0;
    std::vector<Rgb> px;
};

// A single-channel float plane (coverage masks, height fields).
struct Plane {
    int w = 0;
    int h = 0;
    std::vector<float> v;
};

Image makeImage(int w, int h);
Plane makePlane(int w, int h);

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
Rgb mixRgb(Rgb a, Rgb b, float t);
Rgb hexRgb(uint32_t rgb);

float clamp01(float x);
float smoothstep(float e0, float e1, float x);
float mixf(float a, float b, float t);

// Adds c * k to pixel (x, y); ignores coordinates outside the image.
void addPixel(Image &img, int x, int y, Rgb c, float k);
// Adds a plane into the image, scaled by colour, with the plane's (0,0) at (ox, oy).
void addPlane(Image &img, const Plane &p, int ox, int oy, Rgb c);
// Scales every pixel by a factor that depends on its distance from the
// centre, so that the border of an additive square is exactly black.
void vignetteToBlack(Image &img, float innerRadius, float outerRadius);
void scaleImage(Image &img, float k);

// Three box passes of the given radius: close to a gaussian.
void blurPlane(Plane &p, int radius);

// Hash-based value noise in 0..1, periodic with the given period (cells).
float hashUnit(uint32_t x, uint32_t y, uint32_t seed);
float valueNoise(float x, float y, int period, uint32_t seed);
float fbm(float x, float y, int octaves, int period, uint32_t seed);

// Writes a 24-bit uncompressed BMP (14-byte file header, 40-byte info
// header, bottom row first), with a small ordered dither against banding.
bool writeBmp(const Image &img, const std::string &path);
std::vector<uint8_t> encodeBmp(const Image &img);
