// disk_sync.cpp -- plays a module with known order boundaries through SDL's
// disk audio driver and watches the driver's output file grow. The driver
// writes a block and then waits as long as the block lasts, so the device is
// taken to consume each block evenly over the wait after its write. Each time
// the reported order changes, the frames consumed by then are compared with
// the boundary's frame: positive errors mean the order changed after the
// device had reached the boundary, negative before.
#include "support/disk_sync.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "support/temp_dir.h"
#include "support/xm_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kRate = 44100;
const long kBlockFrames = kRate * 100 / 1000;  // the 100 ms output buffer

struct Write {
    double time;
    long endFrame;
};
struct Report {
    double time;
    int index;  // n-th order change since the start
};

double seconds(Clock::time_point t) { return std::chrono::duration<double>(t.time_since_epoch()).count(); }
double now() { return seconds(Clock::now()); }

// Frames the driver has written, in whole blocks: its file is buffered by
// stdio, so the size on disk lags each write by part of a block.
long fileFrames(const std::string &path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return 0;
    long frames = static_cast<long>(info.st_size / (2 * sizeof(float)));
    return (frames + kBlockFrames / 2) / kBlockFrames * kBlockFrames;
}

// Frames the device has consumed at time t.
double consumedAt(const std::vector<Write> &writes, double t) {
    long before = 0;
    for (size_t i = 0; i < writes.size() && writes[i].time <= t; i++) {
        if (i + 1 == writes.size() || writes[i + 1].time > t)
            return before + std::min<double>((t - writes[i].time) * kRate, writes[i].endFrame - before);
        before = writes[i].endFrame;
    }
    return before;
}

// A clock reporting the mixing position changes as the block holding the
// boundary is written, when the device has consumed only up to its start.
double mixingErrorMs(const std::vector<Write> &writes, long boundary) {
    long blockStart = 0;
    for (const Write &w : writes) {
        if (w.endFrame > boundary) break;
        blockStart = w.endFrame;
    }
    return (blockStart - boundary) * 1000.0 / kRate;
}

// The paused device writes silence before the song's first block: the
// whole blocks before the first sound in the file.
long silentFramesIn(const std::string &output) {
    FILE *file = fopen(output.c_str(), "rb");
    if (!file) return 0;
    long frame = 0;
    float sample[2];
    while (fread(sample, sizeof sample, 1, file) == 1 && sample[0] == 0.0f && sample[1] == 0.0f) frame++;
    fclose(file);
    return frame / kBlockFrames * kBlockFrames;
}

void poll(SndSong *song, const std::string &output, int changes, double timeoutSeconds, std::vector<Write> *writes,
          std::vector<Report> *reports, SyncRun *run) {
    long lastFrames = 0;
    int lastOrder = 0, seen = 0;
    long queries = 0;
    for (double start = now(); seen < changes && now() - start < timeoutSeconds; queries++) {
        Clock::time_point before = Clock::now();
        int order = Snd_GetOrder(song);
        Clock::time_point after = Clock::now();
        run->queryNs += std::chrono::duration<double, std::nano>(after - before).count();
        long frames = fileFrames(output);
        if (frames != lastFrames) writes->push_back(Write{seconds(after), lastFrames = frames});
        if (order != lastOrder) reports->push_back(Report{seconds(before), ++seen});
        lastOrder = order;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (queries) run->queryNs /= queries;
}

}  // namespace

bool measureDiskSync(int changes, double timeoutSeconds, SyncRun *run) {
    std::string output = test::tempPath("sync.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    XmFixture xm;  // 1 row, speed 6, 125 BPM: an order every 120 ms, against 100 ms blocks
    xm.patterns = 8;
    xm.orders = {0, 1, 2, 3, 4, 5, 6, 7};
    std::string module = writeTempFile("sync.xm", buildXm(xm));

    Snd_SetBufferSize(100);
    bool ok = Snd_Init(kRate, 32, 0);
    SndSong *song = ok ? Snd_LoadSong(module.c_str()) : nullptr;
    std::vector<Write> writes;
    std::vector<Report> reports;
    if (song && Snd_PlaySong(song)) poll(song, output, changes, timeoutSeconds, &writes, &reports, run);
    Snd_FreeSong(song);
    Snd_Close();
    long silentFrames = silentFramesIn(output);
    for (Write &w : writes) w.endFrame -= silentFrames;
    writes.erase(std::remove_if(writes.begin(), writes.end(), [](const Write &w) { return w.endFrame <= 0; }),
                 writes.end());
    unlink(output.c_str());
    unlink(module.c_str());
    for (const Report &r : reports) {
        long boundary = r.index * xmOrderFrames(xm, kRate);
        run->errorsMs.push_back((consumedAt(writes, r.time) - boundary) * 1000.0 / kRate);
        run->mixingErrorsMs.push_back(mixingErrorMs(writes, boundary));
    }
    return static_cast<int>(reports.size()) == changes;
}
