// spinning_mesh_test.cpp -- the opening and closing mesh: the fly-in's
// drift, where the fly-back stops and where its level rests, and
// that only s is sphere-mapped, only during the draw.
#include <gtest/gtest.h>

#include "effects/effects.h"
#include "effects/scene_fixture.h"

namespace {

constexpr int kW = 160, kH = 120;

// A face of half size 30 at (0, 0, -100) spans x 37..123 and y 17..103 of
// the 160 x 120 frame; (80, 24) lies on its bottom texel row, (44, 60) in its
// left texel column.
class MeshPhase : public ::testing::TestWithParam<int> {};

TEST_P(MeshPhase, SphereMapsSOnlyDuringTheDraw) {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    scene::makeProbeTexture(1);
    scene::buildSquareMesh(0, 30.0f);
    meshLevel = 1.0f;
    if (GetParam() == 0) drawIntroMesh();
    if (GetParam() == 1) drawMeshFlyIn();
    if (GetParam() == 2) drawMeshFlyBack(1.0f);
    test::Rgb centre = test::readPixel(80, 60), low = test::readPixel(80, 24), side = test::readPixel(44, 60);
    EXPECT_EQ(centre.r, 0);
    EXPECT_EQ(centre.g, 255);
    EXPECT_EQ(low.b, 255) << "t comes from the face's own coordinates";
    EXPECT_EQ(side.r, 0) << "s comes from the sphere map";
    EXPECT_EQ(side.g, 255);
    EXPECT_FALSE(scene::textureGenS());
    EXPECT_FALSE(scene::textureGenT());
    EXPECT_EQ(meshSpin, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(IntroFlyInFlyBack, MeshPhase, ::testing::Values(0, 1, 2));

// Drawn from the offsets on entry, then moved by (+0.1, +0.15).
TEST(MeshFlyIn, HundredCallsFromStart) {
    ASSERT_TRUE(test::openGlDisplay(32, 24));
    for (int i = 0; i < 100; i++) drawMeshFlyIn();
    scene::Vec3 drawnAt = scene::modelviewTranslation();
    EXPECT_NEAR(drawnAt.x, 9.9f, 1e-3f);
    EXPECT_NEAR(drawnAt.z, -85.15f, 1e-3f);
    EXPECT_NEAR(meshOffsetX, 10.0f, 1e-3f);
    EXPECT_NEAR(meshOffsetZ, -85.0f, 1e-3f);
    EXPECT_NEAR(meshLevel, 0.5f, 1e-4f);
    EXPECT_EQ(meshSpin, 100.0f);
}

struct FlyBackCase {
    float startX, startZ;
};

class MeshFlyBackStop : public ::testing::TestWithParam<FlyBackCase> {};

// Each offset steps back while above its start value and holds the first
// value at or below it.
TEST_P(MeshFlyBackStop, OffsetsStopWithinOneStepBelowStart) {
    ASSERT_TRUE(test::openGlDisplay(32, 24));
    const FlyBackCase c = GetParam();
    meshOffsetX = c.startX;
    meshOffsetZ = c.startZ;
    for (int i = 0; i < 400; i++) drawMeshFlyBack(1.0f);
    const float restX = meshOffsetX, restZ = meshOffsetZ;
    if (c.startX > 0.0f) {
        EXPECT_LE(restX, 0.0f);
        EXPECT_GT(restX, -0.265f - 1e-5f);
    } else {
        EXPECT_EQ(restX, c.startX);
    }
    if (c.startZ > -100.0f) {
        EXPECT_LE(restZ, -100.0f);
        EXPECT_GT(restZ, -100.4f - 1e-4f);
    } else {
        EXPECT_EQ(restZ, c.startZ);
    }
    for (int i = 0; i < 50; i++) drawMeshFlyBack(0.0f);
    EXPECT_EQ(meshOffsetX, restX);
    EXPECT_EQ(meshOffsetZ, restZ);
}

INSTANTIATE_TEST_SUITE_P(Starts, MeshFlyBackStop,
                         ::testing::Values(FlyBackCase{10.0f, -85.0f}, FlyBackCase{0.1f, -99.9f},
                                           FlyBackCase{0.0f, -100.0f}, FlyBackCase{-0.1f, -100.2f},
                                           FlyBackCase{79.5f, -4.0f}));

struct LevelCase {
    float start, target;
    int calls;
    float low, high;  // where the level rests
};

class MeshFlyBackLevel : public ::testing::TestWithParam<LevelCase> {};

// Above 1 with target 1 the level rests just below 1; with target 0 at 0 or
// at most one step below, which lets the show end.
TEST_P(MeshFlyBackLevel, RestsWhereTheFadeRuleLeavesIt) {
    ASSERT_TRUE(test::openGlDisplay(32, 24));
    const LevelCase c = GetParam();
    meshLevel = c.start;
    for (int i = 0; i < c.calls; i++) drawMeshFlyBack(c.target);
    const float rest = meshLevel;
    EXPECT_GE(rest, c.low);
    EXPECT_LE(rest, c.high);
    drawMeshFlyBack(c.target);
    EXPECT_EQ(meshLevel, rest);
}

INSTANTIATE_TEST_SUITE_P(Targets, MeshFlyBackLevel,
                         ::testing::Values(LevelCase{1.6f, 1.0f, 130, 0.995f, 0.99999994f},
                                           LevelCase{1.0f, 0.0f, 201, -0.0050001f, 0.0f},
                                           LevelCase{2.3f, 0.0f, 470, -0.0050001f, 0.0f},
                                           LevelCase{0.0f, 0.0f, 1, 0.0f, 0.0f}));

}  // namespace
