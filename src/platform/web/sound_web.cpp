// sound_web.cpp -- sound output in the browser: the song rendered in chunks
// that the page schedules back to back on the Web Audio clock ahead of time
// (each chunk that ends asks for the next, so the music goes on in a hidden
// tab), and the order being heard taken from that clock less the latency the
// browser reports. In the deterministic mode the song advances only as the
// presents render it, as on the offline backend.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/sound_internal.h"
#include "platform/web/web_internal.h"

namespace {

const int kChunkFrames = 2048;     // 46 ms at 44100 Hz
const int kDefaultBufferMs = 100;  // the queue ahead of the clock is three buffers

// Owned here.
int bufferMs = kDefaultBufferMs;
bool outputOpen = false;
int mixRate = kSndDefaultRate;
SndSong *playingSong = nullptr;
bool songStarted = false;
int polledOrder = 0;
uint64_t heardHigh = 0;  // the furthest frame the order query reported: it never goes back
std::vector<float> chunk(kChunkFrames * 2);

// The first frame of [from, to) whose order differs from `from`'s.
uint64_t orderChange(uint64_t from, uint64_t to) {
    const int first = songOrderAt(playingSong, from);
    while (to - from > 1) {
        uint64_t middle = from + (to - from) / 2;
        if (songOrderAt(playingSong, middle) == first)
            from = middle;
        else
            to = middle;
    }
    return to;
}

}  // namespace

// Called by the page for the next chunk of the playing song (silence when none).
extern "C" EMSCRIPTEN_KEEPALIVE void webSoundRender(float *out, int frames) {
    if (!playingSong) {
        std::memset(out, 0, (size_t)frames * 2 * sizeof(float));
        return;
    }
    const uint64_t first = songFramesRendered(playingSong);
    const int before = songLastOrder(playingSong);
    songRender(playingSong, mixRate, out, (size_t)frames);
    if (songLastOrder(playingSong) != before) {
        const uint64_t at = orderChange(first, songFramesRendered(playingSong));
        kwAudioOrderStart(songOrderAt(playingSong, at), (double)at);
    }
}

bool webSongStarted() { return songStarted; }

int webPolledOrder() { return polledOrder; }

void Snd_SetBufferSize(int milliseconds) { bufferMs = milliseconds > 0 ? milliseconds : kDefaultBufferMs; }

bool Snd_Init(int rate, int, int) {
    if (sysShouldFail("SndInit")) {
        Sys_ReportFailure("cannot open the sound output");
        return false;
    }
    if (outputOpen) return true;
    if (webStepMode()) {
        mixRate = rate > 0 ? rate : kSndDefaultRate;
    } else {
        mixRate = kwAudioOpen();
        if (mixRate == 0) {
            Sys_ReportFailure("cannot open the sound output: the browser has no Web Audio");
            return false;
        }
    }
    outputOpen = true;
    return true;
}

bool Snd_PlaySong(SndSong *song) {
    if (!song || !outputOpen) return false;
    if (!webStepMode()) kwAudioStop();
    playingSong = song;
    songRewind(song);
    heardHigh = 0;
    songStarted = true;
    if (!webStepMode()) kwAudioStart(chunk.data(), kChunkFrames, 3 * bufferMs);
    return true;
}

int Snd_GetOrder(SndSong *song) {
    int order;
    if (!songOrderOverride(&order)) {
        if (!song) {
            order = -1;
        } else if (song != playingSong || webStepMode()) {
            order = songLastOrder(song);
        } else {
            const uint64_t heard = (uint64_t)kwAudioHeardFrame();
            heardHigh = std::max(heardHigh, std::min(heard, songFramesRendered(song)));
            order = songOrderAt(song, heardHigh);
        }
    }
    polledOrder = order;
    return order;
}

void Snd_FreeSong(SndSong *song) {
    if (!song) return;
    if (song == playingSong) {
        kwAudioStop();
        playingSong = nullptr;
    }
    songDestroy(song);
}

void Snd_Close() {
    kwAudioClose();
    outputOpen = false;
    playingSong = nullptr;
}

size_t Snd_RenderOffline(float *out, size_t frames) {
    if (!out) return 0;
    if (!webStepMode() || !playingSong) {
        std::memset(out, 0, frames * 2 * sizeof(float));
        return 0;
    }
    return songRender(playingSong, mixRate, out, frames);
}

int64_t sndOutputLatencyNs() { return outputOpen ? (int64_t)kwAudioLatencyNs() : 0; }
