// credits_test.cpp -- the closing slides and fade: which slides each frame
// count draws and fades, in which order, the pause at 4400, the closing fade
// from 4401, and the counting beyond 5000.
#include <gtest/gtest.h>

#include <vector>

#include "effects/effects.h"
#include "effects/scene_fixture.h"
#include "music/music.h"

namespace {

constexpr int kW = 64, kH = 48;

// Slide k's texture is red 20 * (k + 1), so any one slide or any pair of
// neighbours gives a red of its own.
void makeSlideTextures() {
    for (int k = 0; k < 8; k++) scene::makeSolidTexture(9 + k, static_cast<unsigned char>(20 * (k + 1)), 0, 0);
}

struct FrameCase {
    int32_t c;
    std::vector<int> slides;  // slides drawn, in order
    std::vector<float> targets;
    bool closingFade;
};

class CreditsFrame : public ::testing::TestWithParam<FrameCase> {};

// With every level at 0.5, the levels that moved, and which way, name the
// slides that were faded; the red sum names the slides drawn; the texture
// bound last names the slide drawn last.
TEST_P(CreditsFrame, DoesTheWorkOfItsRow) {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    makeSlideTextures();
    const FrameCase fc = GetParam();
    for (float &level : creditLevels) level = 0.5f;
    creditFrame = fc.c;
    runCredits();

    EXPECT_EQ(creditFrame, fc.c + 1);
    int expectedRed = 0;
    for (int k = 0; k < 8; k++) {
        float expected = 0.5f;
        for (size_t i = 0; i < fc.slides.size(); i++)
            if (fc.slides[i] == k) expected = fc.targets[i] > 0.5f ? 0.505f : 0.495f;
        EXPECT_NEAR(creditLevels[k], expected, 1e-6f) << "slide " << k;
    }
    for (int k : fc.slides) expectedRed += static_cast<int>(0.95f * 0.5f * 20 * (k + 1) + 0.5f);
    EXPECT_NEAR(test::readPixel(kW / 2, kH / 2).r, expectedRed, 2);
    if (fc.slides.empty()) {
        EXPECT_EQ(test::readDepth(kW / 2, kH / 2), 1.0f);
    } else {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), textureNames[9 + fc.slides.back()]);
    }
    EXPECT_EQ(fadeOutTarget, fc.closingFade ? 0.0f : 1.0f);
    EXPECT_EQ(masterVolume, fc.closingFade ? 255 : 256);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CreditsFrame,
    ::testing::Values(FrameCase{0, {0}, {1}, false}, FrameCase{499, {0}, {1}, false},
                      FrameCase{500, {0, 1}, {0, 1}, false}, FrameCase{999, {0, 1}, {0, 1}, false},
                      FrameCase{1000, {1, 2}, {0, 1}, false}, FrameCase{2750, {4, 5}, {0, 1}, false},
                      FrameCase{3500, {6, 7}, {0, 1}, false}, FrameCase{3999, {6, 7}, {0, 1}, false},
                      FrameCase{4000, {7}, {0}, false}, FrameCase{4399, {7}, {0}, false},
                      FrameCase{4400, {}, {}, false}, FrameCase{4401, {}, {}, true}, FrameCase{4999, {}, {}, true},
                      FrameCase{5000, {}, {}, false}, FrameCase{123456, {}, {}, false}, FrameCase{-1, {}, {}, false}));

// The whole run from load: each slide reaches its rest just below 1 in its
// window and is dark within 201 calls of its fade-out; the fade target
// drops at 4401 and the volume reaches 0 after 256 steps.
TEST(Credits, WholeSequenceFromLoad) {
    ASSERT_TRUE(test::openGlDisplay(16, 12));
    std::vector<float> atEndOfFadeIn(8), atFadeOutCall201(8);
    while (creditFrame < 5100) {
        const int32_t c = creditFrame;
        runCredits();
        const int k = c / 500;
        if (k < 8 && c % 500 == 499) atEndOfFadeIn[k] = creditLevels[k];
        if (k >= 1 && k <= 8 && c % 500 == 200) atFadeOutCall201[k - 1] = creditLevels[k - 1];
        if (c == 4400) {
            EXPECT_EQ(fadeOutTarget, 1.0f);
            EXPECT_EQ(masterVolume, 256);
        }
        if (c == 4401) {
            EXPECT_EQ(fadeOutTarget, 0.0f);
            EXPECT_EQ(masterVolume, 255);
        }
        if (c == 4401 + 255) {
            EXPECT_EQ(masterVolume, 0);
        }
    }
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(atEndOfFadeIn[k], 0.9999993f) << "slide " << k;
        EXPECT_LT(atFadeOutCall201[k], 0.0f) << "slide " << k;
        EXPECT_GT(atFadeOutCall201[k], -0.0051f) << "slide " << k;
    }
    EXPECT_EQ(creditFrame, 5100);
    EXPECT_EQ(fadeOutTarget, 0.0f);
}

}  // namespace
