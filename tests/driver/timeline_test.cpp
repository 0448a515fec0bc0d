// timeline_test.cpp -- the show's script driven by a scripted order
// sequence, seen through the call log: the routines each order calls, with
// their targets and in their drawing order, negative and falling-back
// orders, and the end condition whatever the order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effects.h"
#include "music/music.h"
#include "support/gl_log.h"
#include "support/test_support.h"

namespace {

using Lines = std::vector<std::string>;

// One frame at the given order; the scene routines it called, in order.
Lines frameAt(int order) {
    Snd_OverrideOrder(true, order);
    gllog::start(gllog::kRoutines);
    runTimeline();
    EXPECT_EQ(musicOrder, order);
    return gllog::stop();
}

}  // namespace

TEST(Timeline, EachOrderCallsItsRowWithItsTargetsInDrawingOrder) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    initTables();
    // A run of every order in sequence, each for a few frames, as the song plays.
    const Lines closing = {"drawTwinRings(1)", "drawRingParticlesInner(1)", "drawMeshFlyBack(1)", "runCredits()"};
    struct Row {
        int order;
        Lines expected;
    };
    const Row rows[] = {
        {0, {"drawIntroMesh()", "drawOpeningCard(0, 1)"}},
        {1, {"drawIntroMesh()", "drawOpeningCard(0, 1)"}},
        {2, {"drawRingParticles(1)", "drawMeshFlyIn()", "drawOpeningCard(0, 0)"}},
        {4, {"drawRingParticles(1)", "drawMeshFlyIn()", "drawOpeningCard(0, 0)"}},
        {5, {"drawTwinRings(1)", "drawRingParticles(0)", "drawMeshFlyIn()"}},
        {6, {"drawTwinRings(1)", "drawRingParticles(0)", "drawMeshFlyIn()"}},
        {7, {"drawTwinRings(1)", "drawBillboardCascade()", "drawRingParticles(0)", "drawSlidingBanner(1)"}},
        {8, {"drawTwinRings(1)", "drawBillboardCascade()", "drawSlidingBanner(1)"}},
        {9, {"drawTwinRings(0)", "drawBillboardCascade()", "drawSlidingBanner(0)"}},
        {11, {"drawTwinRings(0)", "drawBillboardCascade()", "drawSlidingBanner(0)"}},
        {12, {"drawStillCard(1)", "drawBillboardCascadeOut()"}},
        {13, {"drawStillCard(0)", "drawBillboardCascadeOut()"}},
        {14, {"drawMorphBackdrop(1)", "drawMorphScene(1)"}},
        {23, {"drawMorphBackdrop(1)", "drawMorphScene(1)"}},
        {24, {"drawMorphBackdrop(0)", "drawMorphScene(0)"}},
        {25, {"drawMorphBackdrop(0)", "drawMorphScene(0)"}},
        {26, {"drawTwinRings(1)", "initRingParticles()"}},
        {27, closing},
        {40, closing},
        {-1, {}},
        {8, {"drawTwinRings(1)", "drawBillboardCascade()", "drawSlidingBanner(1)"}},  // a song falling back
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("order " + std::to_string(row.order));
        for (int frame = 0; frame < 3; frame++) EXPECT_EQ(frameAt(row.order), row.expected);
    }
    EXPECT_EQ(quitRequests, 0);
}

TEST(Timeline, ClosingLayersTakeTheClosingTarget) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    initTables();
    fadeOutTarget = 0.0f;
    EXPECT_EQ(frameAt(30),
              (Lines{"drawTwinRings(0)", "drawRingParticlesInner(0)", "drawMeshFlyBack(0)", "runCredits()"}));
}

TEST(Timeline, FirstFrameNeverEndsTheShow) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    initTables();
    frameAt(0);
    EXPECT_GT(meshLevel, 0.0f);
    EXPECT_EQ(quitRequests, 0);
}

TEST(Timeline, NegativeOrdersDrawNothingAndNeverEndTheShow) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    for (int frame = 0; frame < 50; frame++) EXPECT_TRUE(frameAt(-1).empty());
    EXPECT_EQ(quitRequests, 0);  // meshLevel is 0, but the volume never faded
}

// The end condition is tested after every frame's row, whatever the order.
TEST(Timeline, EndsInAnyOrderOnceTheMeshIsDarkAndTheMusicSilent) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    initTables();
    masterVolume = 0;
    meshLevel = 0.0f;
    const int orders[] = {-1, 9, 14, 26};  // rows that leave meshLevel alone
    int expected = 0;
    for (int order : orders) {
        SCOPED_TRACE("order " + std::to_string(order));
        frameAt(order);
        EXPECT_EQ(quitRequests, ++expected);
    }
    meshLevel = 0.001f;
    frameAt(14);
    EXPECT_EQ(quitRequests, expected);  // the mesh still shows
    meshLevel = -0.005f;
    masterVolume = 1;
    frameAt(14);
    EXPECT_EQ(quitRequests, expected);  // the music still plays
}

TEST(Timeline, EndsOnTheFirstFrameWithTheMeshDarkAfterTheVolumeFade) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    initTables();
    for (int frame = 0; frame < 300; frame++) frameAt(0);  // the mesh comes up well above 1
    long frames = 0, volumeZeroAt = -1, endedAt = -1;
    while (quitRequests == 0 && frames < 20000) {
        frameAt(27);
        frames++;
        if (masterVolume == 0 && volumeZeroAt < 0) volumeZeroAt = frames;
        if (quitRequests) endedAt = frames;
        EXPECT_TRUE(quitRequests == 0 || !(meshLevel > 0.0f));
    }
    ASSERT_GT(endedAt, 0);
    // The fade starts on the call with creditFrame 4401 and needs 256 steps.
    EXPECT_EQ(volumeZeroAt, 4401 + 256);
    EXPECT_GE(endedAt, volumeZeroAt);
    EXPECT_EQ(fadeOutTarget, 0.0f);
    EXPECT_EQ(quitRequests, 1);
}
