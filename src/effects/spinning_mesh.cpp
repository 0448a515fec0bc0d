// spinning_mesh.cpp -- placeholder until the effects module lands.
#include "effects/effects.h"
float meshSpin, meshLevel, meshOffsetX, meshOffsetZ = -100.0f;
void drawIntroMesh() {}
void drawMeshFlyIn() {}
void drawMeshFlyBack(float) {}
