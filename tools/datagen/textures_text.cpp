// The text pictures: loading image, opening card, sliding banner and the
// eight closing slides, all in one house style (ice-blue chrome letters
// with a blue halo, amber labels, fading rules, the group's diamond mark).
#include <algorithm>
#include <cmath>

#include "font_text.h"
#include "textures.h"

namespace {

const TextLook kChrome{hexRgb(0xffffff), hexRgb(0x8fc8ff), hexRgb(0x2a6cff), 10, 0.9f};
const TextLook kChromeSmall{hexRgb(0xf4f8ff), hexRgb(0xa8d4ff), hexRgb(0x2a6cff), 5, 0.8f};
const TextLook kAmber{hexRgb(0xffe2a0), hexRgb(0xff9a30), hexRgb(0xff5a10), 5, 0.55f};

// Largest pixel size up to `size` whose line fits in maxWidth pixels.
int fitSize(const std::string &text, FontStyle style, int size, int maxWidth, int tracking) {
    while (size > 8 && lineWidth(text, style, size, tracking) > maxWidth) size -= 2;
    return size;
}

void centredLine(Image &img, const std::string &text, FontStyle style, int size, int maxWidth, int baseline,
                 const TextLook &look, int tracking = 0) {
    int s = fitSize(text, style, size, maxWidth, tracking);
    drawLine(img, text, style, s, img.w / 2.0f, baseline, look, tracking);
}

// A slide with an amber label above one large chrome name.
Image labelSlide(const std::string &label, const std::string &name) {
    Image img = makeImage(512, 512);
    centredLine(img, label, FontStyle::Regular, 44, 400, 200, kAmber, 8);
    drawRule(img, 236, 96, 416, hexRgb(0x3c7cff), 2.0f);
    centredLine(img, name, FontStyle::Bold, 96, 440, 330, kChrome, 4);
    return img;
}

Image listSlide(const std::string &title, const std::vector<std::string> &lines, int lineSize) {
    Image img = makeImage(512, 512);
    centredLine(img, title, FontStyle::Regular, 40, 420, 96, kAmber, 6);
    drawRule(img, 122, 110, 402, hexRgb(0x3c7cff), 2.0f);
    // Lines spread evenly between the two rules.
    const int n = static_cast<int>(lines.size());
    const int gap = std::min(64, 270 / n);
    const int base = 122 + (420 - 122 - gap * n) / 2 + gap - lineSize / 4;
    for (size_t i = 0; i < lines.size(); ++i)
        centredLine(img, lines[i], FontStyle::Bold, lineSize, 440, base + gap * static_cast<int>(i), kChromeSmall, 2);
    drawRule(img, 420, 150, 362, hexRgb(0x3c7cff), 1.5f);
    return img;
}

}  // namespace

void drawRule(Image &img, int y, int x0, int x1, Rgb colour, float thickness) {
    float mid = (x0 + x1) / 2.0f, half = (x1 - x0) / 2.0f;
    for (int dy = -12; dy <= 12; ++dy) {
        float core = std::exp(-(dy * dy) / (thickness * thickness));
        float halo = 0.25f * std::exp(-(dy * dy) / (25.0f * thickness));
        for (int x = x0; x <= x1; ++x) {
            float along = 1.0f - std::pow(std::fabs(x - mid) / half, 2.0f);
            addPixel(img, x, y + dy, colour, (core + halo) * clamp01(along));
        }
    }
}

// The group's mark: a glowing diamond with a bold "m" inside.
void drawGroupMark(Image &img, float cx, float cy, float size) {
    Plane edge = makePlane(img.w, img.h);
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            float d = (std::fabs(x - cx) + std::fabs(y - cy)) / size;
            float band = std::exp(-std::pow((d - 1.0f) * size / 2.2f, 2.0f));
            float inner = std::exp(-std::pow((d - 0.82f) * size / 1.2f, 2.0f)) * 0.5f;
            edge.v[static_cast<size_t>(y) * img.w + x] = band + inner;
        }
    Plane halo = edge;
    blurPlane(halo, std::max(2, static_cast<int>(size / 10)));
    addPlane(img, halo, 0, 0, hexRgb(0x2a6cff) * 0.9f);
    addPlane(img, edge, 0, 0, hexRgb(0xbfe0ff));
    int px = static_cast<int>(size * 1.05f);
    drawLine(img, "m", FontStyle::Bold, px, cx, static_cast<int>(cy + px * 0.27f), kAmber);
}

Image makeLoadingImage() {
    Image img = makeImage(256, 256);
    drawGroupMark(img, 128, 96, 52);
    centredLine(img, "morvane", FontStyle::Bold, 30, 200, 186, kChromeSmall, 3);
    drawRule(img, 200, 56, 200, hexRgb(0x3c7cff), 1.2f);
    centredLine(img, "loading", FontStyle::Regular, 18, 160, 226, kAmber, 5);
    vignetteToBlack(img, 0.94f, 1.0f);
    return img;
}

Image makeOpeningCard() {
    Image img = makeImage(512, 512);
    // Letters above and below the middle, where the opening ball spins.
    centredLine(img, "morvane", FontStyle::Bold, 104, 450, 100, kChrome, 6);
    drawRule(img, 116, 70, 442, hexRgb(0x3c7cff), 1.5f);
    centredLine(img, "presents", FontStyle::Regular, 44, 330, 462, kAmber, 12);
    drawRule(img, 412, 150, 362, hexRgb(0x3c7cff), 1.2f);
    vignetteToBlack(img, 0.95f, 1.0f);
    return img;
}

Image makeBanner() {
    Image img = makeImage(512, 512);
    // The banner comes to rest with its centre right of the screen's centre
    // and its right edge off screen: the title sits left of the texture's centre.
    const float textCx = 0.46f * 512;
    const std::string title = "k a v e l d";
    int size = 124;
    while (size > 20 && lineWidth(title, FontStyle::Bold, size) > 430) size -= 2;
    drawLine(img, title, FontStyle::Bold, size, textCx, 292, kChrome);
    drawRule(img, 186, 12, 470, hexRgb(0x3c7cff), 2.0f);
    drawRule(img, 324, 12, 470, hexRgb(0x3c7cff), 2.0f);
    drawLine(img, "morvane", FontStyle::Regular, 26, 0.46f * 512, 362, kAmber, 10);
    vignetteToBlack(img, 0.93f, 1.0f);
    return img;
}

Image makeCreditSlide(int k) {
    Image img;
    switch (k) {
    case 0: {
        img = makeImage(512, 512);
        centredLine(img, "kaveld", FontStyle::Bold, 150, 440, 300, kChrome, 2);
        drawRule(img, 336, 60, 452, hexRgb(0x3c7cff), 2.0f);
        centredLine(img, "a real-time demo", FontStyle::Regular, 30, 360, 384, kAmber, 6);
        break;
    }
    case 1: {
        img = makeImage(512, 512);
        drawGroupMark(img, 256, 190, 80);
        centredLine(img, "a morvane production", FontStyle::Bold, 52, 450, 352, kChromeSmall, 1);
        drawRule(img, 378, 90, 422, hexRgb(0x3c7cff), 1.5f);
        break;
    }
    case 2: img = labelSlide("code", "morvane"); break;
    case 3: img = labelSlide("music", "morvane"); break;
    case 4: img = labelSlide("graphics", "morvane"); break;
    case 5: img = listSlide("powered by", {"SDL2", "libopenmpt", "FLTK", "Mesa", "FreeType"}, 40); break;
    case 6:
        img = listSlide("greetings to",
                        {"the demo scene", "every coder, tracker", "pixeller, musician", "and party organiser"}, 36);
        break;
    default: {
        img = makeImage(512, 512);
        centredLine(img, "thanks for watching", FontStyle::Bold, 56, 450, 270, kChrome, 1);
        drawRule(img, 300, 80, 432, hexRgb(0x3c7cff), 1.5f);
        drawGroupMark(img, 256, 392, 34);
        break;
    }
    }
    vignetteToBlack(img, 0.95f, 1.0f);
    return img;
}
