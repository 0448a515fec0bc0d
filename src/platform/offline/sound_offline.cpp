// sound_offline.cpp -- sound output for the offline backend: no device; the
// playing song advances only when the caller renders it, by exactly the
// frames asked for, and the order query reports the order at that position.
#include <cstring>

#include "platform/platform_internal.h"
#include "platform/sound_internal.h"

namespace {

bool outputOpen = false;
int mixRate = kSndDefaultRate;
SndSong *playingSong = nullptr;

}  // namespace

void Snd_SetBufferSize(int) {}

bool Snd_Init(int rate, int, int) {
    if (sysShouldFail("SndInit")) {
        Sys_ReportFailure("cannot open the sound output");
        return false;
    }
    if (!outputOpen) mixRate = rate > 0 ? rate : kSndDefaultRate;
    outputOpen = true;
    return true;
}

bool Snd_PlaySong(SndSong *song) {
    if (!song || !outputOpen) return false;
    playingSong = song;
    songRewind(song);
    return true;
}

int Snd_GetOrder(SndSong *song) {
    int order;
    if (songOrderOverride(&order)) return order;
    return song ? songLastOrder(song) : -1;
}

void Snd_FreeSong(SndSong *song) {
    if (!song) return;
    if (song == playingSong) playingSong = nullptr;
    songDestroy(song);
}

void Snd_Close() {
    outputOpen = false;
    playingSong = nullptr;
}

size_t Snd_RenderOffline(float *out, size_t frames) {
    if (!out) return 0;
    if (!playingSong) {
        memset(out, 0, frames * 2 * sizeof(float));
        return 0;
    }
    return songRender(playingSong, mixRate, out, frames);
}

int64_t sndOutputLatencyNs() { return 0; }
