// morph_scene.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
float morphSpin, morphLevel, backdropLevel;
int32_t morphFrame, wobbleIndexX, wobbleIndexY, wobbleIndexZ;
void drawMorphScene(float) {}
void drawMorphBackdrop(float) {}
