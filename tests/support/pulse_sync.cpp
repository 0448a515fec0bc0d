// pulse_sync.cpp -- plays a module whose every order opens with a note after
// silence through SDL's pulseaudio driver into a null sink, and records the
// sink's monitor with parec at a small latency. The recorder's reads date the
// recording: a sample cannot be read before the sink played it, so the
// earliest (read time minus samples read so far) over all reads places sample
// 0 on the steady clock, within the recorder's latency. Each note's onset in
// the recording is when its order was heard; each change of the reported
// order is compared with it: positive errors mean the order changed after it
// was heard, negative before.
#include "support/pulse_sync.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/sound_internal.h"
#include "support/xm_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kRate = 44100;
const int kRecorderLatencyMs = 2;
const int kOnsetLevel = 300;            // of 32767: the notes play far louder, silence is exact zeros
const long kSilenceBeforeOnset = 2000;  // frames: a note's own waveform never rests this long

double now() { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); }

struct Recording {
    pid_t pid = -1;
    int fd = -1;
    std::vector<char> bytes;  // mono 16-bit little-endian samples, as the host keeps them; reader only until joined
    std::atomic<double> anchor{1e300};     // steady-clock time of sample 0
    std::atomic<double> recordedUntil{0};  // steady-clock time of the last sample read
    std::thread reader;
};

void readAll(Recording *rec) {
    char buffer[4096];
    for (ssize_t n; (n = read(rec->fd, buffer, sizeof buffer)) > 0;) {
        double t = now();
        rec->bytes.insert(rec->bytes.end(), buffer, buffer + n);
        double seconds = static_cast<double>(rec->bytes.size() / 2) / kRate;
        rec->anchor = std::min(rec->anchor.load(), t - seconds);
        rec->recordedUntil = rec->anchor + seconds;
    }
}

// parec on the null sink's monitor, mono 16-bit, killed by its timeout at the latest.
bool startRecorder(Recording *rec, double seconds) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    std::string limit = std::to_string(static_cast<int>(seconds) + 1);
    std::string latency = "--latency-msec=" + std::to_string(kRecorderLatencyMs);
    rec->pid = fork();
    if (rec->pid == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execlp("timeout", "timeout", "-k", "1", limit.c_str(), "parec", "-d", "kaveld_null.monitor", "--raw",
               "--format=s16le", "--rate=44100", "--channels=1", latency.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    rec->fd = pipeFds[0];
    if (rec->pid < 0) return false;
    rec->reader = std::thread(readAll, rec);
    return true;
}

void stopRecorder(Recording *rec) {
    if (rec->pid > 0) {
        kill(rec->pid, SIGTERM);
        waitpid(rec->pid, nullptr, 0);
    }
    if (rec->reader.joinable()) rec->reader.join();
    if (rec->fd >= 0) close(rec->fd);
}

// First frame of every note that follows silence. A gap inside a note (the
// device ran dry for a moment) is no new note: notes are an order apart.
std::vector<long> onsets(const std::vector<char> &bytes, long orderFrames) {
    std::vector<long> found;
    long quiet = kSilenceBeforeOnset;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        int16_t sample;
        memcpy(&sample, &bytes[i], sizeof sample);
        if (std::abs(sample) < kOnsetLevel) {
            quiet++;
            continue;
        }
        long frame = static_cast<long>(i / 2);
        if (quiet >= kSilenceBeforeOnset && (found.empty() || frame - found.back() > orderFrames * 3 / 4))
            found.push_back(frame);
        quiet = 0;
    }
    return found;
}

// Times of the first `changes` changes of the reported order.
std::vector<double> pollChanges(SndSong *song, int changes, double timeoutSeconds) {
    std::vector<double> reports;
    int last = 0;
    for (double start = now(); static_cast<int>(reports.size()) < changes && now() - start < timeoutSeconds;) {
        double before = now();
        int order = Snd_GetOrder(song);
        if (order != last) reports.push_back(before);
        last = order;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return reports;
}

}  // namespace

bool measurePulseSync(int changes, int bufferMs, double timeoutSeconds, PulseSyncRun *run) {
    XmFixture xm;  // 2 rows of 120 ms: a note, then silence after its key-off
    xm.patterns = 1;
    xm.rowsPerPattern = 2;
    xm.keyOffRow = 1;
    xm.orders.assign(changes + 2, 0);
    std::string module = writeTempFile("pulse-sync.xm", buildXm(xm));

    Recording rec;
    bool ok = startRecorder(&rec, timeoutSeconds + 10);
    // The recorder is connected once the sink's (silent) output reaches it.
    for (double start = now(); ok && now() - start < 5.0;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (rec.anchor < 1e300) break;
    }
    if (!ok || rec.anchor >= 1e300) fprintf(stderr, "pulse_sync: parec recorded nothing from kaveld_null.monitor\n");

    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    Snd_SetBufferSize(bufferMs);
    bool playing = Snd_Init(kRate, 32, 0);
    if (!playing) fprintf(stderr, "pulse_sync: no sound output on SDL's pulseaudio driver\n");
    SndSong *song = playing ? Snd_LoadSong(module.c_str()) : nullptr;
    std::vector<double> reports;
    if (song && Snd_PlaySong(song)) reports = pollChanges(song, changes, timeoutSeconds);
    run->modelLatencyMs = sndOutputLatencyNs() / 1e6;
    // The recorder lags on a busy machine: wait until it holds the last report's note.
    for (double start = now(); !reports.empty() && now() - start < 5.0;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (rec.recordedUntil > reports.back() + 0.3) break;
    }
    Snd_FreeSong(song);
    Snd_Close();
    stopRecorder(&rec);
    unlink(module.c_str());

    std::vector<long> notes = onsets(rec.bytes, xmOrderFrames(xm, kRate));
    if (static_cast<int>(reports.size()) != changes || static_cast<int>(notes.size()) < changes + 1) {
        fprintf(stderr, "pulse_sync: %zu order changes reported, %zu notes recorded, %d wanted\n", reports.size(),
                notes.size(), changes);
        for (size_t i = 0; i < notes.size(); i++) fprintf(stderr, " %ld", notes[i] - (i ? notes[i - 1] : 0));
        fprintf(stderr, " (frames between notes; %zu recorded)\n", rec.bytes.size() / 2);
        run->ranDry = static_cast<int>(reports.size()) == changes && !notes.empty();  // the song played, broken up
        return false;
    }
    for (int n = 1; n <= changes; n++) {
        long apart = notes[n] - notes[n - 1] - xmOrderFrames(xm, kRate);
        if (apart < -kRate / 1000 || apart > kRate / 1000) {
            fprintf(stderr, "pulse_sync: notes %d and %d are not an order apart: the output ran dry\n", n - 1, n);
            run->ranDry = true;
            return false;
        }
    }
    // Order n starts with note n (note 0 opens the song).
    for (int n = 1; n <= changes; n++)
        run->errorsMs.push_back((reports[n - 1] - (rec.anchor + static_cast<double>(notes[n]) / kRate)) * 1000.0);
    return true;
}
