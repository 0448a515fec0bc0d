// frame_loop_test.cpp -- the whole start-up, frame loop and shutdown on the
// offline backend with the generated data: messages taken one per frame in
// queue order, quit causes, exit codes, and the cancelled and failed starts.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "assets/assets.h"
#include "music/music.h"
#include "platform/offline/offline.h"
#include "platform/sound_internal.h"
#include "support/test_support.h"

namespace {

struct Run {
    int framesPresented = 0;  // frames of the frame loop (after the loading fade)
    int loadingPresents = 0;
    std::vector<uintptr_t> lastTaken;  // queueMessage.wParam as each frame is presented
    std::function<void(int frame)> onFrame;
    std::function<void(int present)> onLoadingPresent;
};
Run run;

// The shared present's clock: the show's frames start with the song, after
// the loading screen's presents; each present carries 44100 / 60 samples.
void onPresent(void *, int, int) {
    const PlatformPresentStep step = Sys_PresentStep();
    EXPECT_EQ(step.samples, 735u);
    EXPECT_EQ(step.present, run.loadingPresents + run.framesPresented);
    if (step.showFrame < 0) {
        run.loadingPresents++;
        if (run.onLoadingPresent) run.onLoadingPresent(run.loadingPresents);
        return;
    }
    EXPECT_EQ(step.showFrame, run.framesPresented);
    run.framesPresented++;
    run.lastTaken.push_back(queueMessage.wParam);
    if (run.onFrame) run.onFrame(run.framesPresented);
}

// Runs the demo from its entry at 160x120 from the build directory (where
// data/ is), pressing OK by itself.
int runDemo(bool autoAccept = true, const char *directory = nullptr) {
    std::string dir = directory ? directory : test::binDir();
    if (chdir(dir.c_str()) != 0) ADD_FAILURE() << "no directory " << dir;
    test::captureMessageBoxes();
    PlatformOfflineConfig config = {autoAccept, onPresent, nullptr};
    Sys_ConfigureOffline(&config);
    DisplaySettings.width = 160;
    DisplaySettings.height = 120;
    return demoMain(nullptr, nullptr, "", 0);
}

void postKey(uint32_t message, uintptr_t vk) { Sys_PostMessage(displayWindow, message, vk, 0); }

}  // namespace

TEST(FrameLoop, EscEndsAfterTheFrameThatTookItIsPresented) {
    run.onFrame = [](int frame) {
        if (frame == 3) postKey(kMsgKeyDown, kVkEscape);
    };
    EXPECT_EQ(runDemo(), 27);
    EXPECT_EQ(run.framesPresented, 4);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(run.loadingPresents, 202);  // the loading image, then its 201-frame fade
}

// What is presented is the frame just drawn: the opening mesh and card come
// up over the first second, so no presented frame of it is black.
int brightestChannel() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<unsigned char> pixels(size_t(viewport[2]) * viewport[3] * 4);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int brightest = 0;
    for (size_t i = 0; i < pixels.size(); i++)
        if (i % 4 != 3 && pixels[i] > brightest) brightest = pixels[i];
    return brightest;
}

TEST(FrameLoop, PresentsTheFrameItDrew) {
    static std::vector<int> brightest;
    run.onFrame = [](int frame) {
        if (frame % 20 == 0) brightest.push_back(brightestChannel());
        if (frame == 60) postKey(kMsgKeyDown, kVkEscape);
    };
    EXPECT_EQ(runDemo(), 27);
    ASSERT_EQ(brightest.size(), 3u);
    for (int level : brightest) EXPECT_GT(level, 16);
    EXPECT_GT(brightest[2], brightest[0]);  // coming up
}

TEST(FrameLoop, OneMessagePerFrameInQueueOrder) {
    run.onFrame = [](int frame) {
        if (frame != 1) return;
        postKey(kMsgKeyUp, 'A');
        postKey(kMsgKeyUp, 'B');
        postKey(kMsgChar, kVkEscape);  // a typed Esc alone ends nothing
        postKey(kMsgKeyDown, kVkEscape);
    };
    EXPECT_EQ(runDemo(), 27);
    ASSERT_EQ(run.framesPresented, 5);
    EXPECT_EQ(run.lastTaken[1], (uintptr_t)'A');
    EXPECT_EQ(run.lastTaken[2], (uintptr_t)'B');
    EXPECT_EQ(run.lastTaken[3], (uintptr_t)kVkEscape);  // the character
    EXPECT_EQ(run.lastTaken[4], (uintptr_t)kVkEscape);  // the key-down
}

TEST(FrameLoop, QuitMessageCountsAndExitsWithItsCode) {
    run.onFrame = [](int frame) {
        if (frame == 2) Sys_PostQuitMessage(0);
    };
    EXPECT_EQ(runDemo(), 0);
    EXPECT_EQ(run.framesPresented, 3);
    EXPECT_EQ(quitRequests, 1);
}

TEST(FrameLoop, TwoCausesInOneFrameEndItOnce) {
    run.onFrame = [](int frame) {
        if (frame == 1) postKey(kMsgKeyDown, kVkEscape);
        if (frame == 2) quitRequests++;  // the show's end in the same frame as the Esc
    };
    EXPECT_EQ(runDemo(), 27);
    EXPECT_EQ(run.framesPresented, 2);
    EXPECT_EQ(quitRequests, 2);
}

TEST(FrameLoop, ExitCodeIsTheLastMessageTaken) {
    run.onFrame = [](int frame) {
        if (frame == 1) postKey(kMsgKeyUp, 'Q');
        if (frame == 4) quitRequests++;
    };
    EXPECT_EQ(runDemo(), 'Q');
}

TEST(FrameLoop, ClosedDisplayWindowEndsOnTheFrameThatTakesQuit) {
    run.onFrame = [](int frame) {
        if (frame == 1) Sys_PostMessage(displayWindow, kMsgClose, 0, 0);
    };
    EXPECT_EQ(runDemo(), 0);            // frame 2 closes the window, frame 3 takes its quit
    EXPECT_EQ(run.framesPresented, 1);  // later frames present to no window, harmlessly
    EXPECT_EQ(quitRequests, 1);
}

// Of two signals before the next frame, the first decides the exit code.
TEST(FrameLoop, EndSignalEndsTheNextFrameAheadOfQueuedMessages) {
    Sys_CatchEndSignals();
    run.onFrame = [](int frame) {
        if (frame != 3) return;
        postKey(kMsgKeyUp, 'A');
        raise(SIGINT);
        raise(SIGTERM);
    };
    EXPECT_EQ(runDemo(), 128 + SIGINT);
    ASSERT_EQ(run.framesPresented, 4);  // the frame that took the quit is still presented
    EXPECT_EQ(run.lastTaken[3], 128u + SIGINT);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(glContext, 0);  // the usual shutdown ran
    EXPECT_EQ(songHandle, nullptr);
}

// Signals while loading (nothing takes messages then): the fade ends at its
// next present, no music starts, no frame of the show is drawn, and the
// usual shutdown runs; later signals change nothing.
TEST(FrameLoop, EndSignalsDuringLoadingEndTheFadeAtItsNextPresent) {
    Sys_CatchEndSignals();
    run.onLoadingPresent = [](int present) {
        if (present != 10) return;
        raise(SIGINT);
        raise(SIGTERM);
        raise(SIGHUP);
    };
    EXPECT_EQ(runDemo(), 128 + SIGINT);
    EXPECT_EQ(run.loadingPresents, 10);  // the loading image and 9 of the fade's 201
    EXPECT_EQ(run.framesPresented, 0);
    EXPECT_GT(loadingBrightness, 0.9f);
    EXPECT_EQ(songHandle, nullptr);
    EXPECT_EQ(glContext, 0);  // the usual shutdown ran
}

// A sound output that refuses a block (its feeder thread says so) ends the
// show through its shutdown, saying why, with exit 1.
TEST(FrameLoop, FailedSoundOutputEndsTheNextFrameThroughTheShutdown) {
    run.onFrame = [](int frame) {
        if (frame != 3) return;
        postKey(kMsgKeyUp, 'A');
        std::thread(sndOutputFailed).join();
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(runDemo(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "kaveld: the sound output failed\n");
    ASSERT_EQ(run.framesPresented, 4);
    EXPECT_EQ(run.lastTaken[3], 1u);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(glContext, 0);
    EXPECT_EQ(songHandle, nullptr);
}

TEST(StartUp, CancelledStartDrawsNothingAndExitsWithTheCancelClick) {
    Sys_PostMessage(3, kMsgLButtonUp, 0, 0);  // CANCEL, the options window's second button
    EXPECT_EQ(runDemo(false), 0);             // the mouse-up was the last message taken
    EXPECT_EQ(run.framesPresented + run.loadingPresents, 0);
    EXPECT_EQ(displayWindow, 0);
    EXPECT_EQ(songHandle, nullptr);
    EXPECT_EQ(startCancelled, 1);
}

TEST(StartUp, MissingDataRunsStartUpToItsEndAndDrawsNoFrame) {
    std::string empty = test::tempPath("");
    testing::internal::CaptureStderr();
    EXPECT_EQ(runDemo(true, empty.c_str()), 1);  // a start that failed
    std::string said = testing::internal::GetCapturedStderr();
    for (const char *line :
         {"kaveld: cannot open data/lod.bmp\n", "kaveld: cannot open data/t16.bmp\n",
          "kaveld: cannot open data/balm03.dxf\n", "kaveld: cannot load the music module data/demotune.xm\n"})
        EXPECT_NE(said.find(line), std::string::npos) << line << "missing from:\n" << said;
    EXPECT_GT(quitRequests, 0);
    EXPECT_EQ(run.framesPresented, 0);
    EXPECT_EQ(run.loadingPresents, 202);  // the loading screen still showed and faded
    EXPECT_TRUE(test::messageBoxes().empty());
}
