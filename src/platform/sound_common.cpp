// sound_common.cpp -- the sound front end every backend shares: the Snd_*
// calls of the contract over the module player (song_openmpt.cpp) and the
// backend's output (sndBackend* in its sound.cpp). The order being heard
// never goes back: a backend's clock may move a little either way, or fail
// to tell, and a heard order must not flicker back at its boundary. An
// output that refuses a block ends the show.
#include <algorithm>
#include <atomic>

#include "platform/platform_internal.h"
#include "platform/sound_internal.h"

namespace {

const float kPlayerVersion = 3.5f;
const int kDefaultBufferMs = 100;

// All owned by the Snd_* calls below (main thread).
int bufferMs = kDefaultBufferMs;
bool outputOpen = false;
int mixRate = kSndDefaultRate;
SndSong *playingSong = nullptr;
uint64_t heardHigh = 0;                 // the furthest frame of the playing song heard so far
std::atomic<bool> outputFailed{false};  // set by sndOutputFailed on any thread
bool outputFailureTaken = false;        // owned by sndTakeOutputFailure

void stopPlaying() {
    if (playingSong) sndBackendStop();
    playingSong = nullptr;
}

}  // namespace

SndSong *sndPlayingSong() { return playingSong; }

int sndMixRate() { return mixRate; }

float Snd_GetVersion() {
    float fixed = sysVersionFixed();
    return fixed != 0.0f ? fixed : kPlayerVersion;
}

void Snd_SetBufferSize(int milliseconds) { bufferMs = milliseconds > 0 ? milliseconds : kDefaultBufferMs; }

bool Snd_Init(int rate, int, int) {
    if (outputOpen) return true;
    int obtained = rate > 0 ? rate : kSndDefaultRate;
    const char *why = "";
    if (sysShouldFail("SndInit") || !sndBackendOpen(&obtained, bufferMs, &why)) {
        Sys_ReportFailure("cannot open the sound output%s%s", *why ? ": " : "", why);
        return false;
    }
    mixRate = obtained;
    outputOpen = true;
    return true;
}

bool Snd_PlaySong(SndSong *song) {
    if (!song || !outputOpen) return false;
    stopPlaying();
    songRewind(song);
    heardHigh = 0;
    if (!sndBackendStart(song)) return false;
    playingSong = song;
    return true;
}

int Snd_GetOrder(SndSong *song) {
    int order;
    if (sysOrderFixed(&order)) return order;
    if (!song) return -1;
    if (song != playingSong) return songLastOrder(song);  // not rendering: safe to read
    uint64_t frame;
    bool told = !sysShouldFail("SndPosition") && sndBackendHeardFrame(&frame);
    if (told) frame -= std::min(frame, sysOutputClockBack());
    if (told && frame > heardHigh) heardHigh = frame;
    return songOrderAt(song, heardHigh);
}

void sndOutputFailed() { outputFailed.store(true); }

bool sndTakeOutputFailure() {
    if (outputFailureTaken || !outputFailed.load()) return false;
    outputFailureTaken = true;
    return true;
}

void Snd_FreeSong(SndSong *song) {
    if (!song) return;
    if (song == playingSong) stopPlaying();
    songDestroy(song);
}

void Snd_Close() {
    stopPlaying();
    if (outputOpen) sndBackendClose();
    outputOpen = false;
}
