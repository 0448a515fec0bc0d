// overlays.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
float openingCardLevel, openingCardStep = 0.005f, twinRingsLevel, twinRingsSpinFar, twinRingsSpinNear;
float bannerLevel, bannerX = 4.0f, stillCardLevel;
void drawOpeningCard(int, float) {}
void drawTwinRings(float) {}
void drawSlidingBanner(float) {}
void drawStillCard(float) {}
