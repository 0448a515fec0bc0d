// effects.h -- the scenes: each routine draws one layer with the state it
// finds, then advances its fade level and animation by fixed steps.
#pragma once

#include <cstdint>

// ---- fade rule and overlay cards (fade.cpp, overlays.cpp)
void approachTarget(float &level, float target, float upStep, float downStep);

extern float openingCardLevel;
extern float openingCardStep;  // 0.005
extern float twinRingsLevel, twinRingsSpinFar, twinRingsSpinNear;
extern float bannerLevel, bannerX;  // bannerX starts at 4.0
extern float stillCardLevel;

void drawOpeningCard(int textureSlot, float target);
void drawTwinRings(float target);
void drawSlidingBanner(float target);
void drawStillCard(float target);

// ---- trig tables and ring particles (rings.cpp)
enum : int { kRingParticles = 115, kInnerRingParticles = 85 };
extern float sinTable[360], cosTable[360];
struct RingParticle {
    int8_t angleStep;
    int32_t angle;
    float radius;
    float radialSpeed;
};
extern RingParticle ringParticles[kRingParticles];
extern float ringLevel, innerRingLevel;

void buildTrigTables();
void initRingParticles();
void drawRingParticles(float target);
void drawRingParticlesInner(float target);

// ---- billboard cascade (billboards.cpp)
enum : int { kBillboards = 25 };
struct Billboard {
    float x, y, size, scale, red, green, blue;
};
extern Billboard billboards[kBillboards];
extern int32_t billboardFrame, billboardLast;

void layoutBillboards();
void drawBillboardCascade();
void drawBillboardCascadeOut();

// ---- spinning mesh (spinning_mesh.cpp)
extern float meshSpin, meshLevel, meshOffsetX, meshOffsetZ;  // meshOffsetZ starts at -100

void drawIntroMesh();
void drawMeshFlyIn();
void drawMeshFlyBack(float target);

// ---- morphing mesh (morph_scene.cpp)
extern float morphSpin, morphLevel, backdropLevel;
extern int32_t morphFrame;

void drawMorphScene(float target);
void drawMorphBackdrop(float target);

// ---- closing credits (credits.cpp)
// A slide enters every kCreditSlideFrames calls, the first on the first call.
constexpr int32_t kCreditSlideFrames = 500;
// The credits' count when the last slide has faded out; the closing fade of
// picture and music follows.
constexpr int32_t kLastSlideOutEnd = 4400;
extern int32_t creditFrame;
extern float creditLevels[8];
extern float fadeOutTarget;  // 1.0 at start

void runCredits();
void drawCreditSlide(int k, float target);
