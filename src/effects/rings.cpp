// rings.cpp -- the sine and cosine tables by whole degree, and the swarm of
// additive squares orbiting the centre at depth 110, each breathing in and
// out between radius 0.1 and 90.
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "draw/draw.h"
#include "effects/effects.h"

float sinTable[360];
float cosTable[360];
RingParticle ringParticles[kRingParticles];
float ringLevel = 0.0f;
float innerRingLevel = 0.0f;

// The angle is accumulated in single precision, so it drifts a little below
// i degrees: cosine entry 90 holds about -1.1e-6, not 0.
void buildTrigTables() {
    float angle = 0.0f;
    for (int i = 0; i < 360; i++) {
        sinTable[i] = (float)std::sin((double)angle);
        cosTable[i] = (float)std::cos((double)angle);
        angle = angle + 0.017453292f;
    }
}

namespace {

// Four random numbers per particle, in this order: the radius band, the
// radius jitter (a sine of whole radians), the angle and the speed.
void randomiseParticle(RingParticle &p) {
    const int band = std::rand() % 90;
    const float base = (float)band + 1.5f;
    const int jitter = std::rand() % 360;
    p.radius = (float)(std::sin((double)jitter) + (double)base);
    int angle = std::rand() % 360 + 1;
    if (angle == 360) angle = 0;
    p.angle = angle;
    p.angleStep = 1;
    const int speedPick = std::rand() % 2;
    p.radialSpeed = (float)(-std::sin((double)speedPick) - 0.1);  // -0.1 or -0.94147098: inward
}

void drawParticles(int count, float level) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -110.0f);
    if (meshLevel == 0.0f) return;
    for (int i = 0; i < count; i++) {
        const RingParticle &p = ringParticles[i];
        const float x = p.radius * sinTable[p.angle];
        const float y = p.radius * cosTable[p.angle];
        drawQuadAt(5.0f, x, y, 0.0f, 2, 0.9f, kQuadAdditive, level, level, level);
    }
}

// One step round the ring and along the radius; the speed flips (without
// clamping) below 0.1 or at 90 and beyond; 360 degrees wraps to 0.
void moveParticles(int count) {
    for (int i = 0; i < count; i++) {
        RingParticle &p = ringParticles[i];
        p.angle += p.angleStep;
        p.radius = p.radius + p.radialSpeed;
        if (p.radius < 0.1f || p.radius >= 90.0f) p.radialSpeed = -p.radialSpeed;
        if (p.angle >= 360) p.angle = 0;
    }
}

}  // namespace

void initRingParticles() {
    for (int i = 0; i < kRingParticles; i++) randomiseParticle(ringParticles[i]);
}

void drawRingParticles(float target) {
    drawParticles(kRingParticles, ringLevel);
    moveParticles(kRingParticles);
    approachTarget(ringLevel, target, kFadeStep, kFadeStep);
}

// The closing swarm: particles 0..84 only, with a level of its own.
void drawRingParticlesInner(float target) {
    drawParticles(kInnerRingParticles, innerRingLevel);
    moveParticles(kInnerRingParticles);
    approachTarget(innerRingLevel, target, kFadeStep, kFadeStep);
}
