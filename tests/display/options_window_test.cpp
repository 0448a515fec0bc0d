// options_window_test.cpp -- the options window's click rules, run through
// its real message loop on the offline backend: messages in, settings,
// marks and counters out.
#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace {

// The options window is the first window made in a fresh process, its eight
// buttons the next eight.
constexpr PlatformWindow kOptions = 1;

struct Click {
    PlatformWindow window;
    uint32_t message;
    uintptr_t wParam;
};
// Button `id` is window id - 199. A click comes as the platform delivers it:
// the mouse-up, queued for the button, which tells the window; other ids go
// to the window as commands.
Click click(int id) {
    if (id < 201 || id > 208) return Click{kOptions, kMsgCommand, (uintptr_t)id};
    return Click{id - 199, kMsgLButtonUp, 0};
}
Click doubleClickNotice(int id) { return Click{kOptions, kMsgCommand, (uintptr_t)id | (kNotifyDoubleClicked << 16)}; }
Click radioDoubleClick(int id) { return Click{id - 199, kMsgLButtonDblClk, 0}; }
Click key(uint32_t message, uintptr_t vk, PlatformWindow window = kOptions) { return Click{window, message, vk}; }

void post(const std::vector<Click> &clicks) {
    for (const Click &c : clicks) Sys_PostMessage(c.window, c.message, c.wParam, 0);
}

bool checked(int id) { return Sys_GetButtonCheck(optionsButtons[id - 201]); }

struct Case {
    const char *name;
    std::vector<Click> clicks;
    DisplaySettingsRecord settings;
    std::vector<int> checkedIds;  // of 203..208
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }
class OptionsClicks : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(OptionsClicks, SettingsMarksAndTheDisplayOpened) {
    const Case &c = GetParam();
    post(c.clicks);
    runOptionsWindow();
    EXPECT_EQ(DisplaySettings.width, c.settings.width);
    EXPECT_EQ(DisplaySettings.height, c.settings.height);
    EXPECT_EQ(DisplaySettings.bitsPerPixel, c.settings.bitsPerPixel);
    EXPECT_EQ(DisplaySettings.fullScreen, c.settings.fullScreen);
    EXPECT_EQ(fullScreenChecked, c.settings.fullScreen);
    for (int id = 203; id <= 208; id++) {
        bool expected = std::find(c.checkedIds.begin(), c.checkedIds.end(), id) != c.checkedIds.end();
        EXPECT_EQ(checked(id), expected) << "button " << id;
    }
    EXPECT_EQ(startCancelled, 0);
    EXPECT_EQ(quitRequests, 0);
    EXPECT_EQ(optionsDone, 1);
    EXPECT_EQ(screenWidth, c.settings.width);  // openDisplay got the choice
    EXPECT_EQ(screenHeight, c.settings.height);
    EXPECT_NE(displayWindow, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, OptionsClicks,
    ::testing::Values(
        Case{"Defaults", {click(201)}, {640, 480, 16, 1}, {203, 204, 207}},
        Case{"FullScreenOnce", {click(203), click(201)}, {640, 480, 16, 0}, {204, 207}},
        Case{"FullScreenTwice", {click(203), click(203), click(201)}, {640, 480, 16, 1}, {203, 204, 207}},
        Case{"CheckedResolutionAgain", {click(204), click(201)}, {640, 480, 16, 1}, {203, 204, 207}},
        Case{"DoubleClickActsOnce",  // the second press is no click, on any radio button
             {click(203), click(205), radioDoubleClick(205), radioDoubleClick(206), doubleClickNotice(203), click(201)},
             {800, 600, 16, 0},
             {205, 207}},
        Case{"Big32Windowed", {click(206), click(208), click(203), click(201)}, {1024, 768, 32, 0}, {206, 208}},
        Case{"BackTo16", {click(208), click(207), click(201)}, {640, 480, 16, 1}, {203, 204, 207}},
        Case{"UnknownIdsAndKeysDoNothing",
             {click(200), click(209), key(kMsgKeyDown, kVkEscape), key(kMsgKeyDown, kVkReturn),
              key(kMsgKeyDown, kVkSpace), key(kMsgKeyUp, kVkSpace), key(kMsgKeyDown, 9), click(201)},
             {640, 480, 16, 1},
             {203, 204, 207}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(OptionsWindow, CancelOpensNoDisplay) {
    post({click(202), click(201)});
    runOptionsWindow();
    EXPECT_EQ(startCancelled, 1);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(optionsDone, 1);
    EXPECT_EQ(displayWindow, 0);
    // The last message taken is the mouse-up the click came in (the exit code).
    EXPECT_EQ(queueMessage.message, (uint32_t)kMsgLButtonUp);
    EXPECT_EQ(queueMessage.wParam, 0u);
}

TEST(OptionsWindow, SpaceLetGoOnAButtonClicksIt) {
    // Only the key-up acts, as with the mouse; on the window it does nothing.
    post({key(kMsgKeyUp, kVkSpace), key(kMsgKeyDown, kVkSpace, 202 - 199), key(kMsgKeyUp, kVkSpace, 202 - 199)});
    runOptionsWindow();
    EXPECT_EQ(startCancelled, 1);
    EXPECT_EQ(queueMessage.message, (uint32_t)kMsgKeyUp);
    EXPECT_EQ(queueMessage.wParam, (uintptr_t)kVkSpace);
}

TEST(OptionsWindow, CloseBoxCancelsAndPostsQuit) {
    Sys_PostMessage(kOptions, kMsgClose, 0, 0);
    runOptionsWindow();
    EXPECT_EQ(startCancelled, 1);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(displayWindow, 0);
    PlatformMessage m;
    ASSERT_TRUE(Sys_PeekMessage(&m));
    EXPECT_EQ(m.message, kMsgQuit);
    EXPECT_EQ(m.wParam, 0u);
}

TEST(OptionsWindow, QuitMessageEndsTheLoopAndOpensTheDisplay) {
    Sys_PostQuitMessage(0);
    runOptionsWindow();
    EXPECT_EQ(optionsDone, 1);
    EXPECT_EQ(startCancelled, 0);
    EXPECT_NE(displayWindow, 0);
}

TEST(OptionsWindow, CreationFailureStillOpensTheDefaultDisplay) {
    Sys_InjectFailure("CreateOptionsWindow", 1);
    runOptionsWindow();         // the loop must not run: nothing would ever end it
    EXPECT_EQ(optionsDone, 9);  // the window and its eight buttons
    EXPECT_EQ(quitRequests, 9);
    EXPECT_EQ(startCancelled, 0);
    EXPECT_EQ(screenWidth, 640);
    EXPECT_EQ(screenHeight, 480);
}
