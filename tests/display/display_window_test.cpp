// display_window_test.cpp -- the display's GL set-up on real Mesa, and the
// counting of every failed step of opening the display.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "support/test_support.h"

TEST(InitGlState, DepthProjectionAndTexGenOnRealGl) {
    ASSERT_TRUE(test::openGlDisplay(160, 120));
    EXPECT_EQ(quitRequests, 0);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint depthFunc = 0, shade = 0, matrixMode = 0, genS = 0, genT = 0, viewport[4] = {};
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &genS);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &genT);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
    EXPECT_EQ(genS, GL_SPHERE_MAP);
    EXPECT_EQ(genT, GL_SPHERE_MAP);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_EQ(viewport[2], 160);
    EXPECT_EQ(viewport[3], 120);

    // The projection is gluPerspective(45, 4/3, 1, -2000), far plane negative.
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    double f = 1.0 / std::tan(45.0 / 2.0 * M_PI / 180.0);
    double zNear = 1.0, zFar = -2000.0;
    EXPECT_NEAR(projection[0], f / (160.0 / 120.0), 1e-6);
    EXPECT_NEAR(projection[5], f, 1e-6);
    EXPECT_NEAR(projection[10], (zFar + zNear) / (zNear - zFar), 1e-6);
    EXPECT_NEAR(projection[14], 2 * zFar * zNear / (zNear - zFar), 1e-6);
    EXPECT_NEAR(projection[11], -1.0, 1e-12);
}

TEST(InitGlState, GeometryFarAwayIsNotClipped) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    glLoadIdentity();
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);  // a square 5000 units away, far beyond 2000
    glVertex3f(-4000, -4000, -5000);
    glVertex3f(4000, -4000, -5000);
    glVertex3f(4000, 4000, -5000);
    glVertex3f(-4000, 4000, -5000);
    glEnd();
    EXPECT_EQ(test::readPixel(32, 24).r, 255);
    float depth = test::readDepth(32, 24);
    EXPECT_GT(depth, 0.99f);
    EXPECT_LT(depth, 1.0f);
}

TEST(InitGlState, WithoutContextChangesNothing) {
    initGlState();  // cancelled start: no display, sizes 0
    EXPECT_FALSE(GLimp_HasCurrentContext());
    EXPECT_EQ(quitRequests, 0);
    clearFrame();
    swapFrame();
    closeDisplay();
}

// Each failed step counts a quit request and the later steps still run; the
// steps that need an earlier one's result then fail too (and count); with no
// device context, making "no context" current succeeds, as releasing does.
struct FailedStep {
    const char *step;
    int expectedCount;
};
void PrintTo(const FailedStep &s, std::ostream *os) { *os << s.step; }
class OpenDisplayFailure : public ::testing::TestWithParam<FailedStep> {};

TEST_P(OpenDisplayFailure, CountsAndGoesOn) {
    test::captureMessageBoxes();
    Sys_InjectFailure(GetParam().step, 1);
    openDisplay(64, 48, 1, 16);
    EXPECT_EQ(quitRequests, GetParam().expectedCount);
    EXPECT_EQ(screenWidth, 64);
    EXPECT_EQ(screenHeight, 48);
    // Without a window no mode can be set either.
    std::string step = GetParam().step;
    bool modeFails = step == "RegisterClass" || step == "CreateWindow" || step == "ChangeDisplayMode";
    ASSERT_EQ(test::messageBoxes().size(), modeFails ? 1u : 0u);
    if (modeFails) {
        EXPECT_EQ(test::messageBoxes()[0].text, "sorry the video mode you wanted could not be set");
        EXPECT_EQ(test::messageBoxes()[0].caption, "video mode fail");
        EXPECT_EQ(test::messageBoxes()[0].owner, 0);
        if (step == "ChangeDisplayMode") {
            EXPECT_TRUE(GLimp_HasCurrentContext());  // GL set up all the same
        }
    }
    closeDisplay();
}

INSTANTIATE_TEST_SUITE_P(Steps, OpenDisplayFailure,
                         ::testing::Values(FailedStep{"RegisterClass", 7}, FailedStep{"CreateWindow", 6},
                                           FailedStep{"ChangeDisplayMode", 1}, FailedStep{"GetDc", 4},
                                           FailedStep{"ChoosePixelFormat", 4}, FailedStep{"SetPixelFormat", 3},
                                           FailedStep{"CreateContext", 2}, FailedStep{"MakeCurrent", 1}),
                         [](const auto &info) { return std::string(info.param.step); });

TEST(CloseDisplay, FailedReleaseShowsOpenglErrorAndGoesOn) {
    ASSERT_TRUE(test::openGlDisplay());
    test::captureMessageBoxes();
    Sys_InjectFailure("MakeCurrent", 1);
    Sys_InjectFailure("DeleteContext", 1);
    closeDisplay();
    ASSERT_EQ(test::messageBoxes().size(), 2u);
    for (auto &box : test::messageBoxes()) {
        EXPECT_EQ(box.text, "opengl error");
        EXPECT_EQ(box.caption, "opengl");
    }
    EXPECT_EQ(glContext, 0);
    // The window was destroyed: its destruction posted the quit message.
    PlatformMessage m;
    ASSERT_TRUE(Sys_PeekMessage(&m));
    EXPECT_EQ(m.message, kMsgQuit);
}
