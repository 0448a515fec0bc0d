// dxf_mesh.cpp -- placeholder until the assets module lands.
#include "assets/assets.h"
MeshSlot meshStore[kMeshSlots];
void loadDxfMesh(const char *, int) {}
