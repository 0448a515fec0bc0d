// sound_live.cpp -- sound output for the live backend: an SDL2 audio device
// whose callback renders the playing song, and the clock that turns "now"
// into the order being heard. Each callback records where in the song its
// block starts and when it was handed over; the order query takes "now minus
// the device's latency" through those records into the song's order log, so
// the main thread never waits on the audio thread.
#include <SDL.h>

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
const int kDefaultBufferMs = 100;

int bufferMs = kDefaultBufferMs;
bool audioUp = false;
SDL_AudioDeviceID device = 0;
int mixRate = kSndDefaultRate;
int64_t latencyNs = 0;           // from hand-over to the block being heard
SndSong *playingSong = nullptr;  // written with the device locked
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
    if (!playingSong) {
        memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    uint64_t first = songFramesRendered(playingSong);
    songRender(playingSong, mixRate, reinterpret_cast<float *>(stream), frames);
    recordHandOff(first, frames);
}

// The dummy and disk drivers take a block and then wait as long as it lasts:
// what they were handed is being consumed at once. Real devices still have
// the block handed before it queued, so the new one is heard a buffer later.
int64_t deviceLatencyNs(const SDL_AudioSpec &obtained) {
    const char *driver = SDL_GetCurrentAudioDriver();
    if (driver && (strcmp(driver, "dummy") == 0 || strcmp(driver, "disk") == 0)) return 0;
    return static_cast<int64_t>(obtained.samples) * 1000000000 / obtained.freq;
}

// Song frame heard at time `when`, from the newest hand-over already audible;
// never past what the device was given.
uint64_t heardFrame(int64_t when) {
    uint64_t n = handOffCount.load(std::memory_order_acquire);
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
