// song_openmpt.cpp -- the module player every sound backend shares: loads a
// tracker module (the show's is XM) with libopenmpt, renders it looping from
// its restart position, applies the master volume without clicks, and keeps
// the order log that maps rendered frames to orders.
#include <libopenmpt/libopenmpt.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/sound_internal.h"

namespace {

const long kMaxModuleBytes = 64L * 1024 * 1024;
const int kVolumeRampFrames = 256;  // every volume change is spread over 5.8 ms
const int kOrderLogSize = 256;      // order changes remembered (seconds of song)
const int kUnityVolume = 256;

}  // namespace

struct SndSong {
    openmpt_module *module;
    std::atomic<int> targetVolume;  // 0..256, set from any thread
    // Render thread only.
    int rampVolume;  // the target the ramp heads for
    float gain;
    float gainStep;
    int rampLeft;  // frames until gain reaches the target
    uint64_t frames;
    int lastOrder;
    // Order log: entries (first frame << 16 | order), oldest overwritten.
    std::atomic<uint64_t> orderLog[kOrderLogSize];
    std::atomic<uint64_t> orderLogCount;
};

namespace {

uint64_t packOrder(uint64_t frame, int order) { return frame << 16 | static_cast<uint16_t>(order); }
int unpackOrder(uint64_t entry) { return static_cast<int16_t>(entry & 0xFFFF); }
uint64_t unpackFrame(uint64_t entry) { return entry >> 16; }

void logOrder(SndSong *song, uint64_t frame, int order) {
    uint64_t count = song->orderLogCount.load(std::memory_order_relaxed);
    song->orderLog[count % kOrderLogSize].store(packOrder(frame, order), std::memory_order_relaxed);
    song->orderLogCount.store(count + 1, std::memory_order_release);
}

bool readWholeFile(const char *path, std::vector<unsigned char> *bytes) {
    FILE *file = Sys_OpenFile(path, "rb");
    if (!file) return false;
    bool ok = fseek(file, 0, SEEK_END) == 0;
    long length = ok ? ftell(file) : -1;
    ok = ok && length > 0 && length <= kMaxModuleBytes && fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(length));
        ok = fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    fclose(file);
    return ok;
}

openmpt_module *openModule(const std::vector<unsigned char> &bytes) {
    int error = 0;
    return openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                              openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
}

// Picks up a new master volume: the ramp restarts from the current gain.
void followVolume(SndSong *song) {
    int volume = song->targetVolume.load(std::memory_order_relaxed);
    if (volume == song->rampVolume) return;
    song->rampVolume = volume;
    song->gainStep = (volume / float(kUnityVolume) - song->gain) / kVolumeRampFrames;
    song->rampLeft = kVolumeRampFrames;
}

void applyGain(SndSong *song, float *out, size_t frames) {
    for (size_t i = 0; i < frames; i++) {
        if (song->rampLeft > 0) {
            song->gain += song->gainStep;
            if (--song->rampLeft == 0) song->gain = song->rampVolume / float(kUnityVolume);
        }
        out[2 * i] *= song->gain;
        out[2 * i + 1] *= song->gain;
    }
}

// One piece ending on a multiple of the order grain, so the log does not
// depend on how callers split their requests.
size_t renderPiece(SndSong *song, int rate, float *out, size_t frames) {
    size_t count = kSndOrderGrain - song->frames % kSndOrderGrain;
    if (count > frames) count = frames;
    size_t got = openmpt_module_read_interleaved_float_stereo(song->module, rate, count, out);
    if (got < count) memset(out + 2 * got, 0, (count - got) * 2 * sizeof(float));
    followVolume(song);
    applyGain(song, out, count);
    int order = openmpt_module_get_current_order(song->module);
    if (got > 0 && order != song->lastOrder) {
        logOrder(song, song->frames - song->frames % kSndOrderGrain, order);
        song->lastOrder = order;
    }
    song->frames += count;
    return count;
}

}  // namespace

SndSong *Snd_LoadSong(const char *path) {
    std::vector<unsigned char> bytes;
    if (!path || !readWholeFile(path, &bytes)) return nullptr;
    openmpt_module *module = openModule(bytes);
    if (!module) return nullptr;
    openmpt_module_set_repeat_count(module, -1);
    SndSong *song = new SndSong();
    song->module = module;
    song->targetVolume.store(kUnityVolume);
    songRewind(song);
    return song;
}

bool Snd_SetMasterVolume(SndSong *song, int volume) {
    if (!song) return false;
    if (volume < 0) volume = 0;
    if (volume > kUnityVolume) volume = kUnityVolume;
    song->targetVolume.store(volume, std::memory_order_relaxed);
    return true;
}

void songRewind(SndSong *song) {
    openmpt_module_set_position_order_row(song->module, 0, 0);
    song->rampVolume = song->targetVolume.load();
    song->gain = song->rampVolume / float(kUnityVolume);
    song->gainStep = 0.0f;
    song->rampLeft = 0;
    song->frames = 0;
    song->lastOrder = openmpt_module_get_current_order(song->module);
    song->orderLogCount.store(0);
    logOrder(song, 0, song->lastOrder);
}

size_t songRender(SndSong *song, int rate, float *out, size_t frames) {
    size_t done = 0;
    while (done < frames) done += renderPiece(song, rate, out + 2 * done, frames - done);
    return frames;
}

uint64_t songFramesRendered(const SndSong *song) { return song->frames; }

int songLastOrder(const SndSong *song) { return song->lastOrder; }

int songOrderAt(const SndSong *song, uint64_t frame) {
    uint64_t count = song->orderLogCount.load(std::memory_order_acquire);
    uint64_t oldest = count > kOrderLogSize ? count - kOrderLogSize : 0;
    int order = 0;
    for (uint64_t i = count; i > oldest; i--) {
        uint64_t entry = song->orderLog[(i - 1) % kOrderLogSize].load(std::memory_order_relaxed);
        order = unpackOrder(entry);
        if (unpackFrame(entry) <= frame) break;
    }
    return order;
}

void songDestroy(SndSong *song) {
    openmpt_module_destroy(song->module);
    delete song;
}
