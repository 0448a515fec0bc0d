// overlays_test.cpp -- the four overlay cards on real Mesa GL: what each
// draws on its first calls and at level 0, and how its state advances.
#include <gtest/gtest.h>

#include "draw/gl_scene.h"
#include "effects/effects.h"

namespace {

constexpr int kW = 64, kH = 48;

// One GL unit per pixel with the origin at pixel (32, 24).
void openOverlayView() {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    test::setOrtho(-kW / 2, kW / 2, -kH / 2, kH / 2);
    test::makeWhiteTextures();
}

bool depthWritten(int px, int py) { return test::readDepth(px, py) < 0.999f; }
float depthAt(float zEye) { return 0.5f - zEye / 2000.0f; }  // the -1000..1000 view

}  // namespace

TEST(DrawOpeningCard, FirstCallDrawsNothingSecondDrawsAtTheFirstStep) {
    openOverlayView();
    drawOpeningCard(0, 1.0f);
    EXPECT_FALSE(depthWritten(32, 24));
    EXPECT_EQ(openingCardLevel, 0.005f);
    drawOpeningCard(0, 1.0f);
    EXPECT_NEAR(test::readDepth(32, 24), depthAt(-5.0f), 1e-4);
    EXPECT_EQ(openingCardLevel, 0.01f);
    EXPECT_FALSE(depthWritten(32 + 3, 24));  // half size 2
}

TEST(DrawOpeningCard, FadedOutBelowZeroDrawsNothing) {
    openOverlayView();
    openingCardLevel = -0.00499990303f;
    twinRingsLevel = -0.00499990303f;
    for (int i = 0; i < 3; i++) {
        drawOpeningCard(0, 0.0f);
        drawTwinRings(0.0f);
    }
    EXPECT_FALSE(depthWritten(32, 24));
    EXPECT_EQ(openingCardLevel, -0.00499990303f);
}

TEST(DrawTwinRings, AtLevelZeroDrawsNothingButTheAnglesTurn) {
    openOverlayView();
    for (int i = 0; i < 3; i++) drawTwinRings(0.0f);
    EXPECT_FALSE(depthWritten(32, 24));
    EXPECT_EQ(twinRingsLevel, 0.0f);
    EXPECT_EQ(twinRingsSpinFar, 1.5f);
    EXPECT_EQ(twinRingsSpinNear, 0.7f + 0.7f + 0.7f);
}

TEST(DrawTwinRings, BothSquaresAddWithTheirAlphas) {
    openOverlayView();
    twinRingsLevel = 0.5f;
    drawTwinRings(1.0f);
    // 0.5 * 0.6 + 0.5 * 0.5 of white; the nearer square's depth wins.
    EXPECT_NEAR(test::readPixel(32, 24).r, 140, 2);
    EXPECT_NEAR(test::readPixel(1, 1).r, 140, 2);
    EXPECT_NEAR(test::readDepth(32, 24), depthAt(-111.0f), 5e-5);
    EXPECT_EQ(twinRingsLevel, 0.505f);
    EXPECT_EQ(twinRingsSpinFar, 0.5f);
    EXPECT_EQ(twinRingsSpinNear, 0.7f);
}

TEST(DrawTwinRings, SquaresTurnAboutTheViewAxis) {
    openOverlayView();
    test::setOrtho(-200, 200, -150, 150);  // whole squares in view
    twinRingsLevel = 1.0f;
    twinRingsSpinFar = 45.0f;   // a diamond reaching 127 along the axes
    twinRingsSpinNear = 45.0f;
    drawTwinRings(1.0f);
    // Turned by 45 degrees each square is a diamond reaching 127 along the
    // axes: (120, 0) lies inside it but outside the upright square, (80, 80)
    // the other way round.
    auto pixelOf = [](float x, float y) { return test::readPixel(int(32 + x * 64 / 400), int(24 + y * 48 / 300)); };
    EXPECT_GT(pixelOf(120, 0).r, 200);
    EXPECT_EQ(pixelOf(80, 80).r, 0);
}

TEST(DrawSlidingBanner, SlidesOn161CallsThenRestsNear078) {
    openOverlayView();
    drawSlidingBanner(0.0f);  // level 0: invisible, but drawn at x 4
    EXPECT_NEAR(test::readDepth(32 + 4, 24), depthAt(-5.0f), 1e-4);
    EXPECT_EQ(test::readPixel(32 + 4, 24).r, 0);
    EXPECT_EQ(bannerX, 3.98f);
    for (int call = 2; call <= 160; call++) drawSlidingBanner(1.0f);
    EXPECT_GT(bannerX, 0.8f);
    drawSlidingBanner(1.0f);
    EXPECT_EQ(bannerX, 0.780003071f);
    for (int call = 162; call <= 400; call++) drawSlidingBanner(1.0f);
    EXPECT_EQ(bannerX, 0.780003071f);
}

TEST(DrawStillCard, AtLevelZeroIsDrawnInvisibly) {
    openOverlayView();
    drawStillCard(1.0f);
    EXPECT_NEAR(test::readDepth(32, 24), depthAt(-101.0f), 1e-4);
    EXPECT_NEAR(test::readDepth(1, 1), depthAt(-101.0f), 1e-4);  // half size 56
    EXPECT_EQ(test::readPixel(32, 24).r, 0);
    EXPECT_EQ(stillCardLevel, 0.005f);
}

TEST(Overlays, EachFallsByItsOwnDownStep) {
    openOverlayView();
    openingCardLevel = twinRingsLevel = bannerLevel = stillCardLevel = 0.5f;
    drawOpeningCard(0, 0.0f);
    drawTwinRings(0.0f);
    drawSlidingBanner(0.0f);
    drawStillCard(0.0f);
    EXPECT_EQ(openingCardLevel, 0.5f - 0.005f);
    EXPECT_EQ(twinRingsLevel, 0.5f - 0.004f);
    EXPECT_EQ(bannerLevel, 0.5f - 0.003f);
    EXPECT_EQ(stillCardLevel, 0.5f - 0.005f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST(Overlays, DrawWithTheLevelOnEntry) {
    openOverlayView();
    stillCardLevel = 1.0f;
    drawStillCard(0.0f);  // drawn at 1.0, then stepped down
    EXPECT_NEAR(test::readPixel(32, 24).r, 255, 1);
    EXPECT_EQ(stillCardLevel, 0.995f);
}
