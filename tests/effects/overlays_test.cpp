// overlays_test.cpp -- the overlay cards on real Mesa GL: nothing shows at or
// below level 0, the twin rings turn about the view axis, the banner's slide
// comes to rest (their calls, step by step, are in routine_calls_test.cpp).
#include <gtest/gtest.h>

#include "effects/effects.h"
#include "support/gl_scene.h"

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

TEST(DrawTwinRings, SquaresTurnAboutTheViewAxis) {
    openOverlayView();
    test::setOrtho(-200, 200, -150, 150);  // whole squares in view
    twinRingsLevel = 1.0f;
    twinRingsSpinFar = 45.0f;  // a diamond reaching 127 along the axes
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
