// quads_test.cpp -- the textured squares and state switches on real Mesa GL:
// where the squares land, how they blend, and what they leave switched on.
#include <gtest/gtest.h>

#include "draw/draw.h"
#include "support/gl_scene.h"

namespace {

constexpr int kW = 64, kH = 48;

void openCentredView() {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    test::setOrtho(-kW / 2, kW / 2, -kH / 2, kH / 2);
    test::makeWhiteTextures();
}

}  // namespace

TEST(DrawQuadAt, HalfSizeFiveAtTenCoversFiveToFifteen) {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    test::setOrtho(0, kW, -kH / 2, kH / 2);  // pixel column i spans x i..i+1, row j spans y j-24..j-23
    test::makeWhiteTexture(2);
    drawQuadAt(5.0f, 10.0f, 0.0f, 0.0f, 2, 1.0f, 0, 1.0f, 1.0f, 1.0f);
    struct Probe {
        int px, py;
        bool lit;
    } probes[] = {
        {4, 24, false},  {5, 24, true},  {14, 24, true}, {15, 24, false},  // x 5..15
        {10, 18, false}, {10, 19, true}, {10, 28, true}, {10, 29, false},  // y -5..5
    };
    for (const Probe &p : probes) {
        EXPECT_EQ(test::readPixel(p.px, p.py).r, p.lit ? 255 : 0) << p.px << "," << p.py;
        EXPECT_NEAR(test::readDepth(p.px, p.py), p.lit ? 0.5f : 1.0f, 1e-4) << p.px << "," << p.py;  // plane z = 0
    }
}

TEST(DrawCenteredQuad, TextureCornersRunCounterClockwiseFromBottomLeft) {
    openCentredView();
    // 2x2 texels: bottom row red, green; top row blue, white.
    test::makeTexture(3, 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    drawCenteredQuad(10.0f, 3, 1.0f, 0, 1.0f, 1.0f, 1.0f);
    struct Probe {
        int px, py, r, g, b;
    } probes[] = {
        {27, 19, 255, 0, 0}, {36, 19, 0, 255, 0}, {27, 28, 0, 0, 255}, {36, 28, 255, 255, 255}, {21, 24, 0, 0, 0},
    };
    for (const Probe &p : probes) {
        test::Rgb c = test::readPixel(p.px, p.py);
        EXPECT_EQ(c.r, p.r) << p.px << "," << p.py;
        EXPECT_EQ(c.g, p.g) << p.px << "," << p.py;
        EXPECT_EQ(c.b, p.b) << p.px << "," << p.py;
    }
}

TEST(DrawCenteredQuad, AdditiveSquaresAddUpWeightedByAlpha) {
    openCentredView();
    drawCenteredQuad(8.0f, 1, 1.0f, kQuadAdditive, 0.25f, 0.25f, 0.25f);
    int one = test::readPixel(32, 24).r;
    EXPECT_NEAR(one, 64, 1);
    drawCenteredQuad(8.0f, 1, 1.0f, kQuadAdditive, 0.25f, 0.25f, 0.25f);  // same plane: LEQUAL lets it through
    EXPECT_NEAR(test::readPixel(32, 24).r, 2 * one, 1);
    drawCenteredQuad(8.0f, 1, 0.5f, kQuadAdditive, 1.0f, 1.0f, 1.0f);  // white weighted by 0.5
    EXPECT_NEAR(test::readPixel(32, 24).r, 2 * one + 128, 2);
    EXPECT_EQ(test::readPixel(2, 2).r, 0);
}

TEST(DrawCenteredQuad, AtLevelZeroAddsNothingButWritesDepth) {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    glClearColor(0.5f, 0.5f, 0.5f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    test::setOrtho(-kW / 2, kW / 2, -kH / 2, kH / 2);
    test::makeWhiteTextures();
    std::vector<unsigned char> before = test::readFrame(kW, kH);
    drawCenteredQuad(8.0f, 0, 0.9f, kQuadAdditive, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(test::readFrame(kW, kH), before);
    EXPECT_NEAR(test::readDepth(32, 24), 0.5f, 1e-4);
    EXPECT_NEAR(test::readDepth(2, 2), 1.0f, 1e-4);
    // A square behind it is now hidden where the invisible one lies.
    glTranslatef(0.0f, 0.0f, -10.0f);
    drawCenteredQuad(16.0f, 0, 1.0f, kQuadAdditive, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(test::readPixel(32, 24).r, before[(24 * kW + 32) * 4]);
    EXPECT_EQ(test::readPixel(20, 24).r, 255);
}
