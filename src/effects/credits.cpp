// credits.cpp -- the closing sequence: eight slides cross-faded on a frame
// count of their own, then the closing fade of picture and music. Owns the
// frame counter, the slides' fade levels and the closing layers' target.
#include <GL/gl.h>

#include "draw/draw.h"
#include "effects/effects.h"
#include "music/music.h"

int32_t creditFrame = 0;
float creditLevels[8] = {};
float fadeOutTarget = 1.0f;

namespace {

constexpr int32_t kClosingFadeEnd = 5000;

}  // namespace

// Slide k is texture slot 9 + k, drawn at every call whatever its level.
void drawCreditSlide(int k, float target) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);
    const float level = creditLevels[k];
    drawQuadAt(1.5f, 0.0f, 0.0f, 0.0f, 9 + k, 0.95f, kQuadAdditive, level, level, level);
    approachTarget(creditLevels[k], target, kFadeStep, kFadeStep);
}

// Slide k fades in over frames 500k..500k+499 and out over the next 500
// (the last one over 400); the outgoing slide is drawn first. Frame 4400 is
// a pause; 4401..4999 fade the closing layers and the music.
void runCredits() {
    const int32_t c = creditFrame;
    if (c >= 0 && c < kCreditSlideFrames) drawCreditSlide(0, 1.0f);
    for (int k = 1; k <= 7; k++) {
        if (c >= kCreditSlideFrames * k && c < kCreditSlideFrames * (k + 1)) {
            drawCreditSlide(k - 1, 0.0f);
            drawCreditSlide(k, 1.0f);
        }
    }
    if (c >= 8 * kCreditSlideFrames && c < kLastSlideOutEnd) drawCreditSlide(7, 0.0f);
    if (c > kLastSlideOutEnd && c < kClosingFadeEnd) {
        fadeOutTarget = 0.0f;
        stepMusicFadeOut();
    }
    creditFrame++;
}
