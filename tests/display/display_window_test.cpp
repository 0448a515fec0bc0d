// display_window_test.cpp -- the display's GL set-up on real Mesa, and the
// counting of every failed step of opening the display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/gl_log.h"
#include "support/test_support.h"

// The one-time state, call by call: the projection on the fresh context's
// identity with its negative far plane, generation configured but not on.
TEST(InitGlState, SetsItsStateInOrder) {
    openDisplay(160, 120, 0, 32);
    gllog::start(gllog::kGl);
    initGlState();
    EXPECT_EQ(gllog::stop(), (std::vector<std::string>{
                                 "glEnable(GL_DEPTH_TEST)",
                                 "glShadeModel(GL_SMOOTH)",
                                 "glDepthFunc(GL_LEQUAL)",
                                 "glClearDepth(1)",
                                 "glClearColor(0, 0, 0, 0)",
                                 "glClear(GL_COLOR_BUFFER_BIT|GL_DEPTH_BUFFER_BIT)",
                                 "glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST)",
                                 "glMatrixMode(GL_PROJECTION)",
                                 "glViewport(0, 0, 160, 120)",
                                 "gluPerspective(45, 1.33333, 1, -2000)",
                                 "glMatrixMode(GL_MODELVIEW)",
                                 "glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP)",
                                 "glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP)",
                             }));
    EXPECT_EQ(quitRequests, 0);
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

// Windowed or full screen, the desktop's mode comes back first; then the
// context is released and deleted, the device context released and the
// window destroyed.
class CloseDisplayOrder : public ::testing::TestWithParam<int> {};

TEST_P(CloseDisplayOrder, RestoresTheModeThenTearsDown) {
    openDisplay(64, 48, GetParam(), 32);
    ASSERT_NE(glContext, 0);
    const std::string window = std::to_string(displayWindow), dc = std::to_string(displayDc);
    const std::string context = std::to_string(glContext);
    gllog::start(gllog::kGl);
    closeDisplay();
    EXPECT_EQ(gllog::stop(), (std::vector<std::string>{
                                 "GLimp_ChangeDisplayMode(" + window + ", 0, 0, 0)",
                                 "GLimp_MakeCurrent(0, 0)",
                                 "GLimp_DeleteContext(" + context + ")",
                                 "GLimp_ReleaseDc(" + window + ", " + dc + ")",
                                 "Sys_DestroyWindow(" + window + ")",
                             }));
}

INSTANTIATE_TEST_SUITE_P(Modes, CloseDisplayOrder, ::testing::Values(0, 1),
                         [](const auto &info) { return info.param ? "FullScreen" : "Windowed"; });
