// The show's pictures: one maker per texture file.
#pragma once

#include <string>
#include <vector>

#include "image.h"

// Pictures with text (textures_text.cpp).
Image makeLoadingImage();      // lod.bmp
Image makeOpeningCard();       // t00
Image makeBanner();            // t05
Image makeCreditSlide(int k);  // t09 + k, k = 0..7
// Procedural pictures (textures_fx.cpp, textures_scene.cpp).
Image makeBallTexture();  // t01
Image makeRingGlow();     // t02
Image makeTwinRings();    // t03
Image makeFlare();        // t04
Image makeStillCard();    // t06
Image makeChromeMap();    // t07
Image makeBackdrop();     // t08

// Shared decoration for the text pictures.
void drawRule(Image &img, int y, int x0, int x1, Rgb colour, float thickness);
void drawGroupMark(Image &img, float cx, float cy, float size);

struct TextureFile {
    std::string name;  // file name inside the data directory
    Image (*make)();
};
// Every texture file with its maker, lod.bmp first, then t00..t16.
std::vector<TextureFile> textureFiles();
