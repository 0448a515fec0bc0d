// fade_test.cpp -- the fade rule's single-precision figures: the rise, the
// rest, the fall, and the bands in which unequal steps keep cycling.
#include <gtest/gtest.h>

#include <algorithm>

#include "effects/effects.h"

struct FadeCase {
    const char *name;
    float start, target, up, down;
    int calls;
    float expected;
};
void PrintTo(const FadeCase &c, std::ostream *os) { *os << c.name; }
class ApproachTarget : public testing::TestWithParam<FadeCase> {};

TEST_P(ApproachTarget, ReachesTheSinglePrecisionValue) {
    const FadeCase &c = GetParam();
    float level = c.start;
    for (int i = 0; i < c.calls; i++) approachTarget(level, c.target, c.up, c.down);
    EXPECT_EQ(level, c.expected);
}

constexpr float kRisen = 0.999999285f;      // 0.9999993: rests there for good
constexpr float kFallen = -0.00499990303f;  // -0.0049999

INSTANTIATE_TEST_SUITE_P(Rule, ApproachTarget,
                         testing::Values(FadeCase{"ZeroTowardZeroStays", 0.0f, 0.0f, 0.005f, 0.005f, 1, 0.0f},
                                         FadeCase{"OneCallUp", 0.0f, 1.0f, 0.005f, 0.005f, 1, 0.005f},
                                         FadeCase{"EqualStays", 1.0f, 1.0f, 0.005f, 0.005f, 5, 1.0f},
                                         FadeCase{"Rise200FallsShort", 0.0f, 1.0f, 0.005f, 0.005f, 200, 0.999999225f},
                                         FadeCase{"Rise201UpAndBackDown", 0.0f, 1.0f, 0.005f, 0.005f, 201, kRisen},
                                         FadeCase{"RestsAfterwards", 0.0f, 1.0f, 0.005f, 0.005f, 5000, kRisen},
                                         FadeCase{"BothStepsInOneCall", 0.998f, 1.0f, 0.005f, 0.004f, 1,
                                                  0.998f + 0.005f - 0.004f},
                                         FadeCase{"OneCallDown", 0.5f, 0.0f, 0.005f, 0.003f, 1, 0.497f},
                                         FadeCase{"Fall201EndsBelowZero", kRisen, 0.0f, 0.005f, 0.005f, 201, kFallen},
                                         FadeCase{"FallenStays", kRisen, 0.0f, 0.005f, 0.005f, 3000, kFallen}),
                         [](const testing::TestParamInfo<FadeCase> &info) { return info.param.name; });

TEST(ApproachTarget, FallStaysPositiveUntilCall201) {
    float level = kRisen;
    for (int i = 0; i < 200; i++) approachTarget(level, 0.0f, 0.005f, 0.005f);
    EXPECT_GT(level, 0.0f);
    EXPECT_LT(level, 0.005f);
}

struct BandCase {
    const char *name;
    float down, target;
    float low, high;  // the band: target - down .. target + (up - down)
};
void PrintTo(const BandCase &c, std::ostream *os) { *os << c.name; }
class FadeBand : public testing::TestWithParam<BandCase> {};

// Rise from 0 then fall, as a layer of the show does, and watch the level
// long after it reached its target.
TEST_P(FadeBand, UnequalStepsNeverSettle) {
    const BandCase &c = GetParam();
    float level = 0.0f;
    if (c.target == 0.0f)
        for (int i = 0; i < 3000; i++) approachTarget(level, 1.0f, 0.005f, c.down);
    for (int i = 0; i < 2000; i++) approachTarget(level, c.target, 0.005f, c.down);
    float low = level, high = level;
    for (int i = 0; i < 1000; i++) {
        float before = level;
        approachTarget(level, c.target, 0.005f, c.down);
        EXPECT_NE(level, before) << "call " << i;
        low = std::min(low, level);
        high = std::max(high, level);
    }
    EXPECT_GE(low, c.low - 1e-5f);
    EXPECT_LE(high, c.high + 1e-5f);
    EXPECT_GT(high - low, 0.004f - 1e-5f);  // it sweeps the band, one cycle of five calls
}

INSTANTIATE_TEST_SUITE_P(Steps, FadeBand,
                         testing::Values(BandCase{"Down004AtOne", 0.004f, 1.0f, 0.996f, 1.001f},
                                         BandCase{"Down003AtOne", 0.003f, 1.0f, 0.997f, 1.002f},
                                         BandCase{"Down004AtZero", 0.004f, 0.0f, -0.004f, 0.001f},
                                         BandCase{"Down003AtZero", 0.003f, 0.0f, -0.003f, 0.002f}),
                         [](const testing::TestParamInfo<BandCase> &info) { return info.param.name; });

// Rising from 0, the twin rings' steps cycle between about 0.996 and 1.0001,
// the banner's between about 0.998 and 1.002.
TEST(FadeBand, RisingFromZeroCyclesInTheShowsBands) {
    struct {
        float down, low, high;
    } cases[] = {{0.004f, 0.996f, 1.0001f}, {0.003f, 0.998f, 1.002f}};
    for (const auto &c : cases) {
        float level = 0.0f, low = 2.0f, high = -2.0f;
        for (int i = 0; i < 3000; i++) {
            approachTarget(level, 1.0f, 0.005f, c.down);
            if (i >= 2000) low = std::min(low, level), high = std::max(high, level);
        }
        EXPECT_NEAR(low, c.low, 1e-4) << c.down;
        EXPECT_NEAR(high, c.high, 1e-4) << c.down;
    }
}
