// sound.cpp -- the live backend's sound output: an SDL2 audio device whose
// callback renders the playing song, and the clock that turns "now" into the
// frame being heard. Each callback records where in the song its
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

// Owned by the sndBackend* calls (main thread); the callback reads them.
SDL_AudioDeviceID device = 0;
int mixRate = kSndDefaultRate;
int64_t latencyNs = 0;            // from hand-over to the block being heard
bool deviceClocked = false;       // the device plays at its own steady rate (not dummy or disk)
SndSong *renderedSong = nullptr;  // written with the device locked
// Written by the callback, read by the main thread.
HandOff handOffs[kHandOffSlots];
std::atomic<uint64_t> handOffCount{0};

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
    if (!renderedSong) {
        memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    uint64_t first = songFramesRendered(renderedSong);
    songRender(renderedSong, mixRate, reinterpret_cast<float *>(stream), frames);
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

}  // namespace

bool sndBackendOpen(int *rate, int bufferMs, const char **why) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *why = SDL_GetError();
        return false;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = *rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    long samples = static_cast<long>(want.freq) * bufferMs / 1000;
    want.samples = static_cast<Uint16>(samples < 64 ? 64 : samples > 32768 ? 32768 : samples);
    want.callback = renderCallback;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        *why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    *rate = mixRate = have.freq;
    latencyNs = deviceLatencyNs(have);
    return true;
}

bool sndBackendStart(SndSong *song) {
    SDL_LockAudioDevice(device);
    renderedSong = song;
    handOffCount.store(0);
    SDL_UnlockAudioDevice(device);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void sndBackendStop() {
    SDL_LockAudioDevice(device);
    renderedSong = nullptr;
    SDL_UnlockAudioDevice(device);
}

bool sndBackendHeardFrame(uint64_t *frame) {
    uint64_t n = handOffCount.load(std::memory_order_acquire);
    *frame = deviceClocked ? heardFrameOnDeviceClock(nowNs(), n) : heardFrameFollowingHandOffs(nowNs(), n);
    return true;
}

void sndBackendClose() {
    SDL_CloseAudioDevice(device);
    device = 0;
    renderedSong = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int64_t sndOutputLatencyNs() { return device ? latencyNs : 0; }
