// spinning_mesh.cpp -- mesh 0, sphere-mapped along s, which opens and closes
// the show: the intro spin, the fly-in toward the viewer and the fly-back
// with its fade. Owns the shared spin, fade level and offsets.
#include <GL/gl.h>

#include "draw/draw.h"
#include "effects/effects.h"

float meshSpin = 0.0f;
float meshLevel = 0.0f;
float meshOffsetX = 0.0f;
float meshOffsetZ = kMeshStartZ;

namespace {

void placeMesh(float x, float z) {
    glLoadIdentity();
    glTranslatef(x, 0.0f, z);
    glRotatef(meshSpin, 1.0f, 1.0f, 1.0f);
}

void drawSpinningMesh() {
    enableSphereMapS();
    drawMesh(0, 1, 0.0f, kMeshTextured, meshLevel, meshLevel, meshLevel);
    disableSphereMapS();
}

}  // namespace

// Spins in place at (0, 0, -100) and brightens without bound.
void drawIntroMesh() {
    placeMesh(0.0f, -100.0f);
    drawSpinningMesh();
    meshSpin = meshSpin + 1.0f;
    meshLevel = meshLevel + kFadeStep;
}

// Keeps spinning and brightening while drifting right and toward the viewer.
void drawMeshFlyIn() {
    placeMesh(meshOffsetX, meshOffsetZ);
    drawSpinningMesh();
    meshSpin = meshSpin + 1.0f;
    meshLevel = meshLevel + kFadeStep;
    meshOffsetZ = meshOffsetZ + kFlyInStepZ;
    meshOffsetX = meshOffsetX + kFlyInStepX;
}

// Spins while returning to the start and fades toward the target; each
// offset stops on the first step that takes it to or past its start value.
void drawMeshFlyBack(float target) {
    placeMesh(meshOffsetX, meshOffsetZ);
    enableSphereMapS();
    drawMeshOffset(0, 1, 0.0f, kMeshTextured, meshLevel, meshLevel, meshLevel, 0.0f, 0.0f, 0.0f);
    disableSphereMapS();
    meshSpin = meshSpin + 1.0f;
    approachTarget(meshLevel, target, kFadeStep, kFadeStep);
    if (meshOffsetZ > kMeshStartZ) meshOffsetZ = meshOffsetZ - 0.4f;
    if (meshOffsetX > 0.0f) meshOffsetX = meshOffsetX - 0.265f;
}
