// mesh_draw.cpp -- placeholder until the draw module lands.
#include "draw/draw.h"
const float morphStep = 0.1f;
void drawMesh(int, int, float, int, float, float, float) {}
void drawMeshOffset(int, int, float, int, float, float, float, float, float, float) {}
void morphMeshToward(int, int) {}
