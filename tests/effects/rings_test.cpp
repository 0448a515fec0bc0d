// rings_test.cpp -- the trig tables' single-precision drift, the particles'
// random layout and motion, and the swarm drawn on real Mesa GL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "effects/effects.h"
#include "support/gl_scene.h"

namespace {

constexpr int kW = 64, kH = 48;

void openRingView() {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    test::setOrtho(-kW / 2, kW / 2, -kH / 2, kH / 2);
    test::makeWhiteTextures();
    buildTrigTables();
}

// Every particle far off screen, at rest on the ring.
void parkParticles() {
    for (RingParticle &p : ringParticles) p = RingParticle{1, 0, 1000.0f, 0.0f};
}

}  // namespace

TEST(BuildTrigTables, HoldTheDriftOfASinglePrecisionAngle) {
    buildTrigTables();
    EXPECT_EQ(sinTable[0], 0.0f);
    EXPECT_EQ(cosTable[0], 1.0f);
    EXPECT_FLOAT_EQ(cosTable[90], -1.11659494e-06f);
    EXPECT_FLOAT_EQ(sinTable[180], 4.91936726e-06f);
    EXPECT_EQ(sinTable[90], 1.0f);
    EXPECT_EQ(cosTable[180], -1.0f);
    // The accumulated angle lags i degrees, by about 2.3e-5 radian at 359.
    const double lag = -(std::asin(double(sinTable[359])) + M_PI / 180.0);  // sin(359 deg - lag) = -sin(1 deg + lag)
    EXPECT_NEAR(lag, 2.3e-5, 0.2e-5);
    for (int i = 0; i < 360; i++) {
        EXPECT_NEAR(sinTable[i], std::sin(i * M_PI / 180.0), 3e-5) << i;
        EXPECT_NEAR(cosTable[i], std::cos(i * M_PI / 180.0), 3e-5) << i;
    }
}

TEST(InitRingParticles, StartEveryParticleInwardAtOneOfTwoSpeeds) {
    initRingParticles();
    int slow = 0, fast = 0;
    for (const RingParticle &p : ringParticles) {
        EXPECT_EQ(p.angleStep, 1);
        EXPECT_GE(p.angle, 0);
        EXPECT_LE(p.angle, 359);
        EXPECT_GE(p.radius, 0.5f);
        EXPECT_LE(p.radius, 91.5f);
        slow += p.radialSpeed == -0.1f;
        fast += p.radialSpeed == -0.941470981f;
    }
    EXPECT_EQ(slow + fast, kRingParticles);
    EXPECT_GT(slow, 0);
    EXPECT_GT(fast, 0);
}

// Unseeded, rand gives the sequence of seed 1: the first layout is the same
// on every run, and it takes four numbers per particle in a fixed order.
TEST(InitRingParticles, DrawFourNumbersPerParticleInOrder) {
    initRingParticles();
    RingParticle unseeded[kRingParticles];
    std::memcpy(unseeded, ringParticles, sizeof unseeded);
    std::srand(1);
    int draws[8];
    for (int &d : draws) d = std::rand();
    for (int i = 0; i < 4 * kRingParticles - 8; i++) std::rand();
    const int next = std::rand();
    std::srand(1);
    initRingParticles();
    EXPECT_EQ(std::memcmp(unseeded, ringParticles, sizeof unseeded), 0);
    EXPECT_EQ(std::rand(), next);
    for (int i = 0; i < 2; i++) {
        const int *d = draws + 4 * i;
        const RingParticle &p = ringParticles[i];
        EXPECT_EQ(p.radius, float(std::sin(double(d[1] % 360)) + double(float(d[0] % 90) + 1.5f))) << i;
        EXPECT_EQ(p.angle, (d[2] % 360 + 1) % 360) << i;
        EXPECT_EQ(p.radialSpeed, d[3] % 2 ? -0.941470981f : -0.1f) << i;
    }
}

struct MoveCase {
    const char *name;
    int angle;
    float radius, speed;
    int angleAfter[2];
    float radiusAfter[2], speedAfter[2];
};
void PrintTo(const MoveCase &c, std::ostream *os) { *os << c.name; }
class ParticleMove : public testing::TestWithParam<MoveCase> {};

TEST_P(ParticleMove, TwoUpdates) {
    const MoveCase &c = GetParam();
    buildTrigTables();
    meshLevel = 0.0f;  // nothing drawn, no GL needed
    ringParticles[0] = RingParticle{1, c.angle, c.radius, c.speed};
    for (int step = 0; step < 2; step++) {
        drawRingParticles(1.0f);
        EXPECT_EQ(ringParticles[0].angle, c.angleAfter[step]) << step;
        EXPECT_FLOAT_EQ(ringParticles[0].radius, c.radiusAfter[step]) << step;
        EXPECT_EQ(ringParticles[0].radialSpeed, c.speedAfter[step]) << step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParticleMove,
    testing::Values(MoveCase{"WrapsAt359", 358, 50.0f, -0.1f, {359, 0}, {49.9f, 49.8f}, {-0.1f, -0.1f}},
                    MoveCase{"BouncesBelowTenth", 10, 0.15f, -0.1f, {11, 12}, {0.05f, 0.15f}, {0.1f, 0.1f}},
                    MoveCase{"TurnsAtNinety", 10, 89.95f, 0.1f, {11, 12}, {90.05f, 89.95f}, {-0.1f, -0.1f}},
                    MoveCase{"TurnsOnExactlyNinety", 10, 89.5f, 0.5f, {11, 12}, {90.0f, 89.5f}, {-0.5f, -0.5f}},
                    MoveCase{"StaysAtTheRim", 10, 90.5f, -0.1f, {11, 12}, {90.4f, 90.5f}, {0.1f, -0.1f}},
                    MoveCase{"CrossesTheCentre",
                             10,
                             0.5f,
                             -0.941470981f,
                             {11, 12},
                             {0.5f - 0.941470981f, 0.5f},
                             {0.941470981f, 0.941470981f}}),
    [](const testing::TestParamInfo<MoveCase> &info) { return info.param.name; });

TEST(DrawRingParticles, NothingDrawnWhileMeshLevelIsZeroYetAllMove) {
    openRingView();
    initRingParticles();
    RingParticle before[kRingParticles];
    std::memcpy(before, ringParticles, sizeof before);
    meshLevel = 0.0f;
    drawRingParticles(1.0f);
    for (int px = 0; px < kW; px += 3)
        for (int py = 0; py < kH; py += 3) ASSERT_GT(test::readDepth(px, py), 0.999f) << px << "," << py;
    for (int i = 0; i < kRingParticles; i++) {
        EXPECT_EQ(ringParticles[i].angle, (before[i].angle + 1) % 360) << i;
        EXPECT_EQ(ringParticles[i].radius, before[i].radius + before[i].radialSpeed) << i;
    }
    EXPECT_EQ(ringLevel, 0.005f);
}

// 0 degrees is straight up, 90 to the right; the swarm is drawn while
// meshLevel is anything but 0, even below it.
TEST(DrawRingParticles, AnglesRunClockwiseFromStraightUp) {
    openRingView();
    parkParticles();
    ringParticles[0] = RingParticle{1, 90, 20.0f, 0.0f};
    ringParticles[1] = RingParticle{1, 0, 16.0f, 0.0f};
    meshLevel = -0.004f;
    ringLevel = 1.0f;
    drawRingParticles(1.0f);
    EXPECT_NEAR(test::readPixel(32 + 20, 24).r, 230, 2);  // white at alpha 0.9
    EXPECT_NEAR(test::readPixel(32, 24 + 16).r, 230, 2);
    EXPECT_EQ(test::readPixel(32 - 20, 24).r, 0);
    EXPECT_EQ(test::readPixel(32, 24 - 16).r, 0);
    EXPECT_EQ(test::readPixel(32 + 20 + 6, 24).r, 0);  // half size 5
    EXPECT_NEAR(test::readDepth(32 + 20, 24), 0.5f + 110.0f / 2000.0f, 1e-4);
}

TEST(DrawRingParticles, OverlappingParticlesAddUp) {
    openRingView();
    parkParticles();
    ringParticles[0] = RingParticle{1, 90, 10.0f, 0.0f};
    ringParticles[1] = RingParticle{1, 90, 12.0f, 0.0f};
    meshLevel = 1.0f;
    ringLevel = 0.25f;
    drawRingParticles(1.0f);
    EXPECT_NEAR(test::readPixel(32 + 11, 24).r, 115, 2);  // 2 x 0.25 x 0.9 of white
    EXPECT_NEAR(test::readPixel(32 + 6, 24).r, 57, 2);
}

TEST(DrawRingParticlesInner, MovesOnlyTheFirst85) {
    openRingView();
    initRingParticles();
    RingParticle before[kRingParticles];
    std::memcpy(before, ringParticles, sizeof before);
    meshLevel = 1.0f;
    for (int i = 0; i < 3; i++) drawRingParticlesInner(1.0f);
    EXPECT_EQ(std::memcmp(before + kInnerRingParticles, ringParticles + kInnerRingParticles,
                          sizeof(RingParticle) * (kRingParticles - kInnerRingParticles)),
              0);
    for (int i = 0; i < kInnerRingParticles; i++) EXPECT_EQ(ringParticles[i].angle, (before[i].angle + 3) % 360) << i;
    EXPECT_EQ(innerRingLevel, 0.015f);
    EXPECT_EQ(ringLevel, 0.0f);
}
