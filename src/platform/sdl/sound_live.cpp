// sound_live.cpp -- sound output for the live backend: an SDL2 audio device
// whose callback renders the playing song, and the clock that turns "now"
// into the order being heard. Each callback records where in the song its
// block starts and when it was handed over; the order query takes "now minus
// the device's latency" through those records into the song's order log, so
// the main thread never waits on the audio thread.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "platform/platform_internal.h"
#include "platform/sound_internal.h"

namespace {

struct HandOff {  // one block given to the device
    std::atomic<uint64_t> frame;
    std::atomic<uint64_t> count;
    std::atomic<int64_t> timeNs;
};

const int kHandOffSlots = 16;
const uint64_t kClockWindow = 8;  // hand-overs that date a device clock
const int kDefaultBufferMs = 100;

int bufferMs = kDefaultBufferMs;
bool audioUp = false;
SDL_AudioDeviceID device = 0;
int mixRate = kSndDefaultRate;
int64_t latencyNs = 0;           // from hand-over to the block being heard
bool deviceClocked = false;      // the device plays at its own steady rate (not dummy or disk)
SndSong *playingSong = nullptr;  // written with the device locked
HandOff handOffs[kHandOffSlots];
std::atomic<uint64_t> handOffCount{0};
uint64_t heardHigh = 0;  // main thread: the furthest frame the order query reported since the song started

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void recordHandOff(uint64_t frame, uint64_t count) {
    uint64_t n = handOffCount.load(std::memory_order_relaxed);
    HandOff &slot = handOffs[n % kHandOffSlots];
    slot.frame.store(frame, std::memory_order_relaxed);
    slot.count.store(count, std::memory_order_relaxed);
    slot.timeNs.store(nowNs(), std::memory_order_relaxed);
    handOffCount.store(n + 1, std::memory_order_release);
}

void renderCallback(void *, Uint8 *stream, int length) {
    size_t frames = static_cast<size_t>(length) / (2 * sizeof(float));
    if (!playingSong) {
        memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    uint64_t first = songFramesRendered(playingSong);
    songRender(playingSong, mixRate, reinterpret_cast<float *>(stream), frames);
    recordHandOff(first, frames);
}

// The dummy and disk drivers take a block and then wait as long as it lasts:
// what they were handed is being consumed at once. Through PulseAudio the
// first frame of a block is heard 0.7 of a buffer after its hand-over, but no
// later than half a buffer and 17 ms (the server asks for more before its
// queue runs dry): measured through a null sink with buffers of 10 to 250 ms,
// within 3 ms. Other real devices still have the block handed before it
// queued, so the new one is heard a buffer later.
int64_t deviceLatencyNs(const SDL_AudioSpec &obtained) {
    const char *driver = SDL_GetCurrentAudioDriver();
    deviceClocked = !(driver && (strcmp(driver, "dummy") == 0 || strcmp(driver, "disk") == 0));
    if (!deviceClocked) return 0;
    int64_t buffer = static_cast<int64_t>(obtained.samples) * 1000000000 / obtained.freq;
    if (!driver || strcmp(driver, "pulseaudio") != 0) return buffer;
    return std::min(buffer * 7 / 10, buffer / 2 + 17000000);
}

// Song frame heard at time `when`, from the newest hand-over already audible;
// never past what the device was given. For the dummy and disk drivers,
// whose consumption follows each hand-over.
uint64_t heardFrameFollowingHandOffs(int64_t when, uint64_t n) {
    uint64_t oldest = n > kHandOffSlots - 1 ? n - (kHandOffSlots - 1) : 0;
    for (uint64_t i = n; i > oldest; i--) {
        const HandOff &slot = handOffs[(i - 1) % kHandOffSlots];
        int64_t since = when - latencyNs - slot.timeNs.load(std::memory_order_relaxed);
        if (since < 0) continue;
        uint64_t frame = slot.frame.load(std::memory_order_relaxed);
        uint64_t count = slot.count.load(std::memory_order_relaxed);
        uint64_t played = static_cast<uint64_t>(since) * mixRate / 1000000000;
        return frame + (played < count ? played : count);
    }
    return 0;
}

// A device with a clock of its own plays the song at a steady rate; its
// requests for more come late by however long the audio thread was held up,
// and early only in a burst after it ran dry. So the second earliest
// hand-over (time minus song position) among the last few dates the song's
// start at the device. A hand-over later than that by more than the latency
// came after the device had run dry: the dating starts again from it, and the
// window lets go of the old timeline soon after. Never past what the device
// was given.
uint64_t heardFrameOnDeviceClock(int64_t when, uint64_t n) {
    if (n == 0) return 0;
    int64_t earliest = INT64_MAX, second = INT64_MAX;
    uint64_t given = 0;
    uint64_t oldest = n > kClockWindow ? n - kClockWindow : 0;
    for (uint64_t i = oldest; i < n; i++) {
        const HandOff &slot = handOffs[i % kHandOffSlots];
        uint64_t frame = slot.frame.load(std::memory_order_relaxed);
        int64_t at = slot.timeNs.load(std::memory_order_relaxed) -
                     static_cast<int64_t>(frame * 1000000000 / static_cast<uint64_t>(mixRate));
        int64_t start = second != INT64_MAX ? second : earliest;
        if (i == oldest || at > start + latencyNs) {
            earliest = at;
            second = INT64_MAX;
        } else if (at < earliest) {
            second = earliest;
            earliest = at;
        } else if (at < second) {
            second = at;
        }
        given = std::max(given, frame + slot.count.load(std::memory_order_relaxed));
    }
    int64_t since = when - latencyNs - (second != INT64_MAX ? second : earliest);
    if (since < 0) return 0;
    uint64_t played = static_cast<uint64_t>(since) * mixRate / 1000000000;
    return std::min(played, given);
}

// Never goes back: a new dating of the device clock may move it a little
// either way, and a heard order must not flicker back at its boundary.
uint64_t heardFrame(int64_t when) {
    uint64_t n = handOffCount.load(std::memory_order_acquire);
    uint64_t frame = deviceClocked ? heardFrameOnDeviceClock(when, n) : heardFrameFollowingHandOffs(when, n);
    heardHigh = std::max(heardHigh, frame);
    return heardHigh;
}

void closeDevice() {
    if (device) SDL_CloseAudioDevice(device);
    device = 0;
    playingSong = nullptr;
}

}  // namespace

void Snd_SetBufferSize(int milliseconds) { bufferMs = milliseconds > 0 ? milliseconds : kDefaultBufferMs; }

bool Snd_Init(int rate, int, int) {
    if (device) return true;
    if (sysShouldFail("SndInit") || (!audioUp && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)) {
        Sys_ReportFailure("cannot open the sound output: %s", SDL_GetError());
        return false;
    }
    audioUp = true;
    SDL_AudioSpec want{}, have{};
    want.freq = rate > 0 ? rate : kSndDefaultRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    long samples = static_cast<long>(want.freq) * bufferMs / 1000;
    want.samples = static_cast<Uint16>(samples < 64 ? 64 : samples > 32768 ? 32768 : samples);
    want.callback = renderCallback;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        Sys_ReportFailure("cannot open the sound output: %s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioUp = false;
        return false;
    }
    mixRate = have.freq;
    latencyNs = deviceLatencyNs(have);
    return true;
}

bool Snd_PlaySong(SndSong *song) {
    if (!song || !device) return false;
    SDL_LockAudioDevice(device);
    playingSong = song;
    songRewind(song);
    handOffCount.store(0);
    heardHigh = 0;
    SDL_UnlockAudioDevice(device);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

int Snd_GetOrder(SndSong *song) {
    int order;
    if (songOrderOverride(&order)) return order;
    if (!song) return -1;
    if (song != playingSong) return songLastOrder(song);  // not rendering: safe to read
    return songOrderAt(song, heardFrame(nowNs()));
}

void Snd_FreeSong(SndSong *song) {
    if (!song) return;
    if (song == playingSong) {
        SDL_LockAudioDevice(device);
        playingSong = nullptr;
        SDL_UnlockAudioDevice(device);
    }
    songDestroy(song);
}

void Snd_Close() {
    closeDevice();
    if (audioUp) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioUp = false;
}

size_t Snd_RenderOffline(float *out, size_t frames) {
    if (out) memset(out, 0, frames * 2 * sizeof(float));
    return 0;
}

int64_t sndOutputLatencyNs() { return device ? latencyNs : 0; }
