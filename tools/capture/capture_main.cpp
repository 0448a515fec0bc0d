// capture_main.cpp -- kaveld-capture: runs the show's own start-up,
// timeline and effects on the offline platform, 60 presented frames to a
// second of music as on the live display (the song advanced by each
// present's samples, by the shared present's clock), and writes the sound, a
// trace, and video frames at the chosen rate, each the present nearest its
// time.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>

#include "assets/assets.h"
#include "capture.h"
#include "display/display.h"
#include "driver/driver.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "music/music.h"
#include "platform/offline/offline.h"

namespace {

struct CaptureRun {
    CaptureOptions options;
    CaptureSink sink;
    FILE *trace = nullptr;
    long presents = 0;     // every presented frame, the loading screen's included
    long videoFrames = 0;  // frames written to the video (or directory), at options.fps
    long showFrames = 0;   // frames of the frame loop
    bool writeFailed = false;
    int endSignal = 0;  // the signal that stopped the run
    std::vector<float> audio;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

// Video frames (at fps) whose time k / fps lies nearest present n's, n / 60,
// or half-way before it: the running count up to present n is
// floor(fps (2n + 1) / 120) + 1.
long videoFramesThrough(long n, int fps) {
    return n < 0 ? 0 : (long)((long long)fps * (2 * n + 1) / (2 * kShowPresentsPerSecond)) + 1;
}

int percentDone(const CaptureRun &run) {
    if (run.options.frames > 0) return (int)(100 * run.showFrames / run.options.frames);
    if (musicOrder < kClosingOrder) return std::max(0, musicOrder) * 60 / kClosingOrder;
    return 60 + std::min(39, creditFrame * 40 / kClosingRowFrames);
}

void progress(const CaptureRun &run, bool last) {
    bool tty = isatty(2);
    if (!last && run.showFrames % (tty ? 15 : 1200) != 0) return;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - run.start).count();
    std::fprintf(stderr, "%sframe %ld  order %d  %3d%%  %.1f fps%s", tty ? "\r" : "", run.showFrames, musicOrder,
                 last ? 100 : percentDone(run), seconds > 0 ? run.presents / seconds : 0.0, tty && !last ? "" : "\n");
}

bool selected(const CaptureRun &run, long frame) {
    const auto &s = run.options.select;
    return std::find(s.begin(), s.end(), frame) != s.end();
}

// Every video frame is frame_NNNNNN (the loading screen's included), showing
// the present nearest its time: none, one or several per present; with
// --select, only the chosen frames of the show, as show_NNNNNN.
bool capturePicture(CaptureRun &run, long present, long showFrame) {
    char name[32];
    if (!run.options.select.empty()) {
        if (showFrame < 0 || !selected(run, showFrame)) return true;
        std::snprintf(name, sizeof name, "show_%06ld.png", showFrame);
        return writeFrame(run.sink, name);
    }
    for (long end = videoFramesThrough(present, run.options.fps); run.videoFrames < end; run.videoFrames++) {
        std::snprintf(name, sizeof name, "frame_%06ld.png", run.videoFrames);
        if (!writeFrame(run.sink, name)) return false;
    }
    return true;
}

void onPresent(void *user, int, int) {
    CaptureRun &run = *(CaptureRun *)user;
    if (int number = Sys_EndSignal()) {  // stop here: nothing more is written
        if (!run.endSignal) quitRequests++;
        run.endSignal = number;
        return;
    }
    const PlatformPresentStep step = Sys_PresentStep();
    run.audio.assign(step.samples * 2, 0.0f);
    Snd_RenderOffline(run.audio.data(), step.samples);  // silence until the song starts
    writeAudio(run.sink, run.audio.data(), step.samples);

    long frame = step.showFrame;  // -1 on the loading screen
    run.presents = step.present + 1;
    if (frame >= 0) run.showFrames = frame + 1;
    if (!capturePicture(run, step.present, frame)) run.writeFailed = true;
    if (frame < 0) return;
    writeTraceLine(run.trace, frame);
    progress(run, false);
    if (run.writeFailed) {
        std::fprintf(stderr, "kaveld-capture: cannot write frame %ld to %s\n", frame, run.options.out.c_str());
        quitRequests++;
    } else if (run.options.frames > 0 && run.showFrames >= run.options.frames) {
        quitRequests++;
    }
}

std::string absolute(const std::string &path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

// Without --data: the show's data where the live program finds it (./data,
// beside the program, or the installed share/kaveld/data).
std::string defaultDataDirectory() {
    Sys_EnterShowDirectory();  // the working directory stays when none is found
    return absolute("data");
}

// A working directory whose data/ is the chosen data directory.
bool enterDataDirectory(const std::string &data) {
    std::string dir = makeTemporaryFolder("kaveld-run");
    if (dir.empty()) return false;
    char real[PATH_MAX];
    if (realpath(data.c_str(), real) && symlink(real, (dir + "/data").c_str()) != 0) return false;
    return chdir(dir.c_str()) == 0;
}

}  // namespace

int main(int argc, char **argv) {
    static CaptureRun run;
    Sys_CatchEndSignals();          // Ctrl-C, SIGTERM, SIGHUP and SIGQUIT stop the run at the current frame
    std::signal(SIGPIPE, SIG_IGN);  // an encoder that went away is a failed write, not the end
    int status = parseCaptureOptions(argc, argv, run.options);
    if (status >= 0) return status;
    CaptureOptions &o = run.options;
    o.out = absolute(o.out);
    o.trace = absolute(o.trace);
    o.data = o.data.empty() ? defaultDataDirectory() : absolute(o.data);
    if (!o.trace.empty() && !(run.trace = std::fopen(o.trace.c_str(), "w"))) {
        std::fprintf(stderr, "kaveld-capture: cannot write the trace %s\n", o.trace.c_str());
        return 1;
    }
    if (!openSink(run.sink, o)) return 1;
    if (!enterDataDirectory(o.data)) {
        std::fprintf(stderr, "kaveld-capture: cannot prepare a working directory\n");
        return 1;
    }
    if (o.seeded) Sys_FixCalendarTime(o.seed);
    PlatformOfflineConfig config = {true, onPresent, &run};
    Sys_ConfigureOffline(&config);
    DisplaySettings = DisplaySettingsRecord{o.width, o.height, 32, 0};

    demoMain(nullptr, nullptr, "", 0);

    if (int number = Sys_EndSignal()) {
        std::fprintf(stderr, "\nkaveld-capture: stopped by signal %d after %ld frames\n", number, run.showFrames);
        abandonSink(run.sink);
        if (run.trace) std::fclose(run.trace);
        return 128 + number;
    }
    progress(run, true);
    bool finished = finishSink(run.sink);
    if (run.trace) finished = std::fclose(run.trace) == 0 && finished;
    if (int number = Sys_EndSignal()) {  // while the video was finished: nothing was left at its path
        std::fprintf(stderr, "kaveld-capture: stopped by signal %d while writing %s\n", number, o.out.c_str());
        return 128 + number;
    }
    if (!finished || run.writeFailed) {
        std::fprintf(stderr, "kaveld-capture: writing the output failed\n");
        return 1;
    }
    if (run.showFrames == 0) {
        std::fprintf(stderr, "kaveld-capture: the show could not start (%d failures at start-up)\n", quitRequests);
        return 1;
    }
    return 0;
}
