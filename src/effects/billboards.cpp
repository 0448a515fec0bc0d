// billboards.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
Billboard billboards[kBillboards];
int32_t billboardFrame, billboardLast;
void layoutBillboards() {}
void drawBillboardCascade() {}
void drawBillboardCascadeOut() {}
