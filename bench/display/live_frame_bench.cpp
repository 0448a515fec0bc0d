// live_frame_bench.cpp -- the live display on a real X server (run by
// live_frame_bench.py on its own Xvfb): time from OK to the first presented
// frame, and the frame loop's rate with vsync off, per part of the show.
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "assets/assets.h"
#include "display/display.h"
#include "driver/driver.h"
#include "music/music.h"
#include "platform/platform_testing.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point okPressed, firstPresent;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Frames of the frame loop at one order; returns frames per second.
double frameRate(int order, int frames) {
    Snd_OverrideOrder(true, order);
    auto start = Clock::now();
    for (int i = 0; i < frames; i++) {
        runTimeline();
        swapFrame();
        clearFrame();
    }
    return frames / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && chdir(argv[1]) != 0) return 1;  // the build directory, where data/ is
    okPressed = Clock::now();
    openDisplay(640, 480, 0, 32);
    initGlState();
    initTables();
    // What the preload does before its first present: the loading image, shown.
    loadTexture(kLoadingImageSlot, "data/lod.bmp");
    drawLoadingScreen(1.0f, 1.0f, false);
    firstPresent = Clock::now();
    auto loadStart = Clock::now();
    GLimp_SetSwapInterval(0);
    loadAssets();
    auto loaded = Clock::now();
    if (quitRequests) {
        std::fprintf(stderr, "start-up failed (%d)\n", quitRequests);
        return 1;
    }
    std::printf("bench: live.ok_to_first_frame %.1f ms\n", ms(firstPresent - okPressed));
    std::printf("bench: live.preload_and_fade %.1f ms\n", ms(loaded - loadStart));
    const struct {
        int order;
        const char *name;
    } parts[] = {{0, "intro"}, {3, "flyin"}, {7, "billboards"}, {12, "stillcard"}, {15, "morph"}, {27, "credits"}};
    for (const auto &part : parts)
        std::printf("bench: live.fps.%s.640x480 %.1f fps\n", part.name, frameRate(part.order, 300));
    closeDisplay();
    stopMusic();
    return 0;
}
