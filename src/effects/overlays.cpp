// overlays.cpp -- the four overlay cards, each one faded additive square: the
// opening card, the twin rings, the sliding banner and the still card.
#include <GL/gl.h>

#include "draw/draw.h"
#include "effects/effects.h"

float openingCardLevel = 0.0f;
float openingCardStep = kFadeStep;
float twinRingsLevel = 0.0f;
float twinRingsSpinFar = 0.0f;
float twinRingsSpinNear = 0.0f;
float bannerLevel = 0.0f;
float bannerX = kBannerStartX;
float stillCardLevel = 0.0f;

void drawOpeningCard(int textureSlot, float target) {
    const float level = openingCardLevel;
    if (level > 0.0f) {
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -5.0f);
        drawCenteredQuad(2.0f, textureSlot, 0.9f, kQuadAdditive, level, level, level);
    }
    approachTarget(openingCardLevel, target, openingCardStep, openingCardStep);
}

namespace {

void drawTurnedRing(float depth, float angle, float alpha, float level) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, depth);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    drawCenteredQuad(90.0f, 3, alpha, kQuadAdditive, level, level, level);
}

}  // namespace

// The angles advance on every call, drawn or not, and are never wrapped.
void drawTwinRings(float target) {
    const float level = twinRingsLevel;
    if (level > 0.0f) {
        drawTurnedRing(-111.3f, twinRingsSpinFar, 0.6f, level);
        drawTurnedRing(-111.0f, twinRingsSpinNear, 0.5f, level);
    }
    approachTarget(twinRingsLevel, target, kFadeStep, kTwinRingsFadeOutStep);
    twinRingsSpinFar = twinRingsSpinFar + 0.5f;
    twinRingsSpinNear = twinRingsSpinNear + 0.7f;
}

// Drawn whatever its level; from 4.0 it slides left on 161 calls and rests
// at about 0.78 for the rest of the run.
void drawSlidingBanner(float target) {
    const float level = bannerLevel;
    glLoadIdentity();
    glTranslatef(bannerX, 0.0f, -5.0f);
    drawCenteredQuad(2.1f, 5, 0.9f, kQuadAdditive, level, level, level);
    if (bannerX > kBannerRestX) bannerX = bannerX - kBannerSlideStep;
    approachTarget(bannerLevel, target, kFadeStep, kBannerFadeOutStep);
}

void drawStillCard(float target) {
    const float level = stillCardLevel;
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -101.0f);
    drawCenteredQuad(56.0f, 6, 0.999f, kQuadAdditive, level, level, level);
    approachTarget(stillCardLevel, target, kFadeStep, kFadeStep);
}
