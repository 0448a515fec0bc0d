// sound.cpp -- the offline backend's sound output: no device; the playing
// song advances only when the caller renders it (Snd_RenderOffline), by
// exactly the frames asked for, and everything rendered counts as heard.
#include <cstring>

#include "platform/offline/offline.h"
#include "platform/sound_internal.h"

bool sndBackendOpen(int *, int, const char **) { return true; }

bool sndBackendStart(SndSong *) { return true; }

void sndBackendStop() {}

bool sndBackendHeardFrame(uint64_t *frame) {
    SndSong *song = sndPlayingSong();
    *frame = song ? songFramesRendered(song) : 0;
    return true;
}

void sndBackendClose() {}

int64_t sndOutputLatencyNs() { return 0; }

size_t Snd_RenderOffline(float *out, size_t frames) {
    if (!out) return 0;
    SndSong *song = sndPlayingSong();
    if (!song) {
        memset(out, 0, frames * 2 * sizeof(float));
        return 0;
    }
    return songRender(song, sndMixRate(), out, frames);
}
