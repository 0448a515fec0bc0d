// quads.cpp -- placeholder until the draw module lands.
#include "draw/draw.h"
void drawCenteredQuad(float, int, float, int, float, float, float) {}
void drawQuadAt(float, float, float, float, int, float, int, float, float, float) {}
void enableSphereMap() {}
void disableSphereMap() {}
void enableSphereMapS() {}
void disableSphereMapS() {}
void setWireframe() {}
void setFilled() {}
