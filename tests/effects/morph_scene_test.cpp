// morph_scene_test.cpp -- the morphing mesh and its backdrop: the 600-call
// morph cycle watched on mesh 1, the wobble's random steps and wrap, where
// both objects are placed, and the solid and wireframe passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "effects/effects.h"
#include "effects/scene_fixture.h"

namespace {

// Slot 1 starts at 0 everywhere; slots 4, 2 and 3 pull x, y and z of its
// first corner far up, so the axis that rises in a call names the target.
TEST(MorphScene, ScheduleOfTwoCycles) {
    ASSERT_TRUE(test::openGlDisplay(32, 24));
    for (int slot = 1; slot <= 4; slot++) meshStore[slot].faceCount = 1;
    meshStore[4].x[0][0] = meshStore[2].y[0][0] = meshStore[3].z[0][0] = 1000.0f;
    const MeshSlot &m = meshStore[1];
    for (int call = 1; call <= 1201; call++) {
        const float x = m.x[0][0], y = m.y[0][0], z = m.z[0][0];
        drawMorphScene(1.0f);
        const int toward = m.x[0][0] - x > 0.05f ? 4 : m.y[0][0] - y > 0.05f ? 2 : m.z[0][0] - z > 0.05f ? 3 : 0;
        const int inCycle = (call - 1) % 600 + 1;
        const int expected = inCycle < 300 ? 4 : inCycle < 400 ? 2 : inCycle < 600 ? 3 : 0;
        ASSERT_EQ(toward, expected) << "call " << call;
        ASSERT_EQ(morphFrame, call % 600) << "call " << call;
    }
}

struct WobbleCase {
    bool advanceZ, advanceY;  // what the first and second draw of rand decide
};

class MorphWobble : public ::testing::TestWithParam<WobbleCase> {};

// x steps every call, z on a first draw of 1 mod 4, y on a second draw of
// 2 mod 4 (seeds are chosen so that swapped draws would decide otherwise);
// an index reaching 360 is 0 in the same call.
TEST_P(MorphWobble, StepsAndWrapsAt359) {
    ASSERT_TRUE(test::openGlDisplay(32, 24));
    const WobbleCase c = GetParam();
    unsigned seed = 1;
    for (;; seed++) {
        std::srand(seed);
        const int first = std::rand() % 4, second = std::rand() % 4;
        if ((first == 1) == c.advanceZ && (second == 2) == c.advanceY && first != 2 && second != 1) break;
    }
    for (int start : {359, 200}) {
        wobbleIndexX = wobbleIndexY = wobbleIndexZ = start;
        std::srand(seed);
        drawMorphScene(1.0f);
        const int stepped = start == 359 ? 0 : start + 1;
        EXPECT_EQ(wobbleIndexX, stepped);
        EXPECT_EQ(wobbleIndexZ, c.advanceZ ? stepped : start);
        EXPECT_EQ(wobbleIndexY, c.advanceY ? stepped : start);
    }
}

INSTANTIATE_TEST_SUITE_P(Draws, MorphWobble,
                         ::testing::Values(WobbleCase{false, false}, WobbleCase{true, false}, WobbleCase{false, true},
                                           WobbleCase{true, true}));

struct PlaceCase {
    int x, y, z;  // wobble indices
    float meshX, meshY, meshZ, backX, backY, backZ;
};

class MorphPlacement : public ::testing::TestWithParam<PlaceCase> {};

// The backdrop, drawn first, and the mesh are placed from the same indices.
TEST_P(MorphPlacement, BothObjectsFollowTheSameIndices) {
    ASSERT_TRUE(test::openGlDisplay(32, 24));
    buildTrigTables();
    const PlaceCase c = GetParam();
    wobbleIndexX = c.x;
    wobbleIndexY = c.y;
    wobbleIndexZ = c.z;
    drawMorphBackdrop(1.0f);
    scene::Vec3 back = scene::modelviewTranslation();
    EXPECT_NEAR(back.x, c.backX, 1e-3f);
    EXPECT_NEAR(back.y, c.backY, 1e-3f);
    EXPECT_NEAR(back.z, c.backZ, 1e-3f);
    drawMorphScene(1.0f);
    scene::Vec3 mesh = scene::modelviewTranslation();
    EXPECT_NEAR(mesh.x, c.meshX, 1e-3f);
    EXPECT_NEAR(mesh.y, c.meshY, 1e-3f);
    EXPECT_NEAR(mesh.z, c.meshZ, 1e-3f);
}

INSTANTIATE_TEST_SUITE_P(Indices, MorphPlacement,
                         ::testing::Values(PlaceCase{0, 0, 0, 15, 5, -87, 15, 6, -180},
                                           PlaceCase{180, 180, 180, -15, -5, -113, -15, -6, -220},
                                           PlaceCase{90, 0, 180, 0, 5, -113, 0, 6, -220},
                                           PlaceCase{270, 90, 0, 0, 0, -87, 0, 0, -180}));

struct WireCase {
    float level;
    int edgeRed;  // 0.9 * max(0, level - 0.5) * 255
};

class MorphPasses : public ::testing::TestWithParam<WireCase> {};

// A face of half size 30 at about (0, 0, -100) (cosine entry 90 is about 0).
// The solid pass is sphere-mapped: green even at (44, 24), where the face's
// own coordinates would give red and blue. The wireframe pass uses the face's
// coordinates (red on its left edge, left of the fill) at colour level - 0.5,
// blended at 0.9: no colour at all while the level is 0.5 or less.
TEST_P(MorphPasses, SolidSphereMappedThenWireframe) {
    constexpr int kW = 160, kH = 120;
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    const WireCase c = GetParam();
    buildTrigTables();
    scene::makeProbeTexture(7);
    scene::buildSquareMesh(1, 30.0f);
    wobbleIndexX = wobbleIndexY = wobbleIndexZ = 90;
    morphLevel = c.level;
    drawMorphScene(1.0f);

    test::Rgb inside = test::readPixel(44, 24);
    EXPECT_EQ(inside.r, 0);
    EXPECT_NEAR(inside.g, c.level * 255.0f, 2);
    EXPECT_EQ(inside.b, 0);
    int edgeRed = 0;
    for (int x = 0; x < kW / 2; x++) edgeRed = std::max(edgeRed, test::readPixel(x, kH / 2).r);
    EXPECT_NEAR(edgeRed, c.edgeRed, 3);
    EXPECT_FALSE(scene::textureGenS());
    EXPECT_FALSE(scene::textureGenT());
    EXPECT_EQ(scene::polygonMode(), GL_FILL);
}

INSTANTIATE_TEST_SUITE_P(Levels, MorphPasses,
                         ::testing::Values(WireCase{0.25f, 0}, WireCase{0.5f, 0}, WireCase{0.75f, 57},
                                           WireCase{1.0f, 115}));

}  // namespace
