// morph_scene.cpp -- the middle of the show: mesh 1 spinning and wobbling,
// drawn solid and sphere-mapped with a blended wireframe copy over it, morphed
// toward meshes 4, 2 and 3 in a 600-frame cycle, in front of a wobbling
// backdrop square. Owns the spin, the cycle counter and both fade levels; it
// steps the wobble indices the preload seeded.
#include <GL/gl.h>

#include <cfloat>
#include <cstdlib>

#include "assets/assets.h"
#include "draw/draw.h"
#include "effects/effects.h"

static_assert(FLT_EVAL_METHOD == 0, "float expressions must be evaluated in float");

float morphSpin = 0.0f;
float morphLevel = 0.0f;
float backdropLevel = 0.0f;
int32_t morphFrame = 0;

namespace {

int32_t wrapDegree(int32_t index) { return index >= 360 ? 0 : index; }

// x every frame, z and y each on a random quarter of the frames, then wrapped
// in the order x, z, y.
void advanceWobble() {
    wobbleIndexX++;
    if (std::rand() % 4 == 1) wobbleIndexZ++;
    if (std::rand() % 4 == 2) wobbleIndexY++;
    wobbleIndexX = wrapDegree(wobbleIndexX);
    wobbleIndexZ = wrapDegree(wobbleIndexZ);
    wobbleIndexY = wrapDegree(wobbleIndexY);
}

// The slot mesh 1 is morphed toward on a frame of the cycle, or -1 on the
// closing frame, which also restarts the cycle.
int morphTargetFor(int32_t frame) {
    if (frame >= 0 && frame < 300) return 4;
    if (frame >= 300 && frame < 400) return 2;
    if (frame >= 400 && frame < 600) return 3;
    return -1;
}

// The wobbling position: each coordinate a float product of the cosine at
// its index, z about its resting depth.
void placeWobbling(float xScale, float yScale, float zScale, float zRest) {
    const float x = xScale * cosTable[wobbleIndexX];
    const float y = yScale * cosTable[wobbleIndexY];
    const float zWobble = zScale * cosTable[wobbleIndexZ];
    const float z = zWobble - zRest;
    glTranslatef(x, y, z);
}

}  // namespace

void drawMorphScene(float target) {
    glLoadIdentity();
    enableSphereMap();
    placeWobbling(15.0f, 5.0f, 13.0f, 100.0f);
    glRotatef(morphSpin, 1.0f, 1.0f, 1.0f);

    const float level = morphLevel;
    drawMesh(1, 7, 0.0f, kMeshTextured, level, level, level);
    disableSphereMap();
    setWireframe();
    const float wire = level - 0.5f;
    drawMesh(1, 7, 0.9f, kMeshBlended, wire, wire, wire);
    setFilled();

    morphSpin = morphSpin + 1.0f;
    morphFrame++;
    advanceWobble();
    approachTarget(morphLevel, target, kFadeStep, kFadeStep);

    const int toward = morphTargetFor(morphFrame);
    if (toward >= 0) morphMeshToward(1, toward);
    if (morphFrame >= kMorphCycleFrames) morphFrame = 0;
}

void drawMorphBackdrop(float target) {
    glLoadIdentity();
    placeWobbling(15.0f, 6.0f, 20.0f, 200.0f);
    const float level = backdropLevel;
    drawCenteredQuad(150.0f, 8, 0.9f, kQuadAdditive, level, level, level);
    approachTarget(backdropLevel, target, kFadeStep, kFadeStep);
}
