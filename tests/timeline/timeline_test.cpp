// timeline_test.cpp -- the show's script driven by a scripted order
// sequence: which scenes run for each order (seen through the state each
// one advances), negative and falling-back orders, and the end condition.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "effects/effects.h"
#include "music/music.h"
#include "support/test_support.h"

namespace {

// Call counts of every routine, read from the state each one advances.
struct Seen {
    float meshSpin, ringLevel, innerRingLevel, twinRingsSpinFar, bannerX, stillCardLevel, backdropLevel,
        openingCardLevel, meshOffsetX, billboard0Blue;
    int32_t billboardFrame, morphFrame, creditFrame;
    RingParticle particle0;
};

Seen look() {
    return Seen{meshSpin,     ringLevel,       innerRingLevel, twinRingsSpinFar, bannerX,
                stillCardLevel, backdropLevel, openingCardLevel, meshOffsetX, billboards[0].blue,
                billboardFrame, morphFrame,    creditFrame,     ringParticles[0]};
}

// The routines that ran between two looks, by name.
std::vector<std::string> ran(const Seen &a, const Seen &b) {
    std::vector<std::string> names;
    auto moved = [&](bool changed, const char *name) {
        if (changed) names.push_back(name);
    };
    moved(a.twinRingsSpinFar != b.twinRingsSpinFar, "twinRings");
    moved(a.meshSpin != b.meshSpin && a.meshOffsetX == b.meshOffsetX && a.innerRingLevel == b.innerRingLevel,
          "introMesh");
    moved(a.meshOffsetX != b.meshOffsetX && b.meshOffsetX > a.meshOffsetX, "meshFlyIn");
    moved(a.meshSpin != b.meshSpin && a.innerRingLevel != b.innerRingLevel, "meshFlyBack");
    moved(a.ringLevel != b.ringLevel, "ringParticles");
    moved(a.innerRingLevel != b.innerRingLevel, "innerRing");
    moved(a.openingCardLevel != b.openingCardLevel, "openingCard");
    moved(a.billboardFrame != b.billboardFrame, "billboardCascade");
    moved(a.billboardFrame == b.billboardFrame && a.billboard0Blue != b.billboard0Blue, "billboardCascadeOut");
    moved(a.bannerX != b.bannerX, "banner");
    moved(a.stillCardLevel != b.stillCardLevel, "stillCard");
    moved(a.backdropLevel != b.backdropLevel, "morphBackdrop");
    moved(a.morphFrame != b.morphFrame, "morphScene");
    moved(std::memcmp(&a.particle0, &b.particle0, sizeof a.particle0) != 0 && a.ringLevel == b.ringLevel &&
              a.innerRingLevel == b.innerRingLevel,
          "initRingParticles");
    moved(a.creditFrame != b.creditFrame, "credits");
    return names;
}

std::vector<std::string> frameAt(int order) {
    Snd_OverrideOrder(true, order);
    Seen before = look();
    runTimeline();
    EXPECT_EQ(musicOrder, order);
    return ran(before, look());
}

using Names = std::vector<std::string>;

}  // namespace

TEST(Timeline, EachOrderRunsItsRow) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    initTables();
    // A run of every order in sequence, each for a few frames, as the song plays.
    struct Row {
        int order;
        Names expected;
    };
    const Row rows[] = {
        {0, {"introMesh", "openingCard"}},
        {1, {"introMesh", "openingCard"}},
        {2, {"meshFlyIn", "ringParticles", "openingCard"}},
        {4, {"meshFlyIn", "ringParticles", "openingCard"}},
        {5, {"twinRings", "meshFlyIn", "ringParticles"}},
        {7, {"twinRings", "ringParticles", "billboardCascade", "banner"}},
        {8, {"twinRings", "billboardCascade", "banner"}},
        {9, {"twinRings", "billboardCascade", "banner"}},
        {11, {"twinRings", "billboardCascade", "banner"}},
        {12, {"billboardCascadeOut", "stillCard"}},
        {13, {"billboardCascadeOut", "stillCard"}},
        {14, {"morphBackdrop", "morphScene"}},
        {23, {"morphBackdrop", "morphScene"}},
        {24, {"morphBackdrop", "morphScene"}},
        {25, {"morphBackdrop", "morphScene"}},
        {26, {"twinRings", "initRingParticles"}},
        {27, {"twinRings", "meshFlyBack", "innerRing", "credits"}},
        {40, {"twinRings", "meshFlyBack", "innerRing", "credits"}},
        {-1, {}},
        {8, {"twinRings", "billboardCascade", "banner"}},  // a song falling back runs the earlier rows again
    };
    for (const Row &row : rows) {
        SCOPED_TRACE("order " + std::to_string(row.order));
        for (int frame = 0; frame < 3; frame++) EXPECT_EQ(frameAt(row.order), row.expected);
    }
    EXPECT_EQ(quitRequests, 0);
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
