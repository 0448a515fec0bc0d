// Text for the pictures: FreeType renders lines of text into coverage
// planes, which are stamped into images with a gradient fill and a glow.
#pragma once

#include <string>

#include "image.h"

enum class FontStyle { Regular, Bold };

// Where fonts-dejavu-core puts DejaVu Sans.
extern const char *const kSystemFontDir;
// Opens the two DejaVu faces, DejaVuSans.ttf and DejaVuSans-Bold.ttf, from dir
// (ending in '/'); on failure returns false and says why.
bool openFonts(const std::string &dir, std::string &error);
void closeFonts();

// A line of text as coverage, with its ink box and baseline inside the plane.
struct TextLine {
    Plane mask;
    int baseline = 0;   // row of the baseline in the mask
    int inkTop = 0;     // first row with ink
    int inkBottom = 0;  // last row with ink
};

// Renders text at a pixel size; tracking adds extra pixels between letters.
TextLine renderLine(const std::string &text, FontStyle style, int pixelSize, int tracking = 0);

struct TextLook {
    Rgb top{1, 1, 1};       // fill colour at the top of the ink
    Rgb bottom{1, 1, 1};    // fill colour at the bottom of the ink
    Rgb glow{0, 0, 0};      // colour of the blurred halo
    int glowRadius = 0;     // box radius of the halo, 0 for none
    float glowGain = 1.0f;  // halo strength
};

// Draws a line centred horizontally on cx with its baseline on row baselineY.
void drawLine(Image &img, const std::string &text, FontStyle style, int pixelSize, float cx, int baselineY,
              const TextLook &look, int tracking = 0);

// Width in pixels of the line's mask (for fitting text to a width).
int lineWidth(const std::string &text, FontStyle style, int pixelSize, int tracking = 0);
