// rings.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
float sinTable[360], cosTable[360];
RingParticle ringParticles[kRingParticles];
float ringLevel, innerRingLevel;
void buildTrigTables() {}
void initRingParticles() {}
void drawRingParticles(float) {}
void drawRingParticlesInner(float) {}
