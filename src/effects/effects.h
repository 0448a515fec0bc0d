// effects.h -- the scenes: each routine draws one layer with the state it
// finds, then advances its fade level and animation by fixed steps.
#pragma once

#include <cfloat>
#include <cstdint>

// ---- fade rule, the scenes' steps (here) and overlay cards (overlays.cpp)
// Every layer's fade level moves toward its target by one rule: one step up
// while below it, then one step down while above it, both on the
// single-precision value as stored. Inline, so that the data generator works
// out its cue sheet by the very rule. The resting levels (0.9999993,
// -0.0049999, ...) come from rounding every sum to single precision; excess
// precision would change them.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in float");
inline void approachTarget(float &level, float target, float upStep, float downStep) {
    if (level < target) level = level + upStep;
    if (level > target) level = level - downStep;
}

// The scenes' steps per call (the data generator's cue sheet counts by them).
constexpr float kFadeStep = 0.005f;              // every fade's step up, and most steps down
constexpr float kTwinRingsFadeOutStep = 0.004f;  // the twin rings' step down
constexpr float kBannerFadeOutStep = 0.003f;     // the banner's step down
constexpr float kBannerStartX = 4.0f, kBannerRestX = 0.8f, kBannerSlideStep = 0.02f;
constexpr float kCascadeDimStep = 0.004f, kCascadeOutDimStep = 0.006f;  // a square's brightness
constexpr int32_t kBillboardReleaseCalls = 35;  // a square of the cascade released every 35 calls
constexpr float kMeshStartZ = -100.0f, kFlyInStepX = 0.1f, kFlyInStepZ = 0.15f;
constexpr int32_t kMorphCycleFrames = 600;

extern float openingCardLevel;
extern float openingCardStep;  // kFadeStep
extern float twinRingsLevel, twinRingsSpinFar, twinRingsSpinNear;
extern float bannerLevel, bannerX;  // bannerX starts at kBannerStartX
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
extern float meshSpin, meshLevel, meshOffsetX, meshOffsetZ;  // meshOffsetZ starts at kMeshStartZ

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
