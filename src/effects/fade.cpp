// fade.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
void approachTarget(float &, float, float, float) {}
