// credits.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
int32_t creditFrame;
float creditLevels[8];
float fadeOutTarget = 1.0f;
void runCredits() {}
void drawCreditSlide(int, float) {}
