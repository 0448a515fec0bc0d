// sound.cpp -- the web backend's sound output: the song rendered on the
// page's thread in chunks that it posts ahead to a player on the audio thread
// (library_web.js; the player's reports ask for the next, so the music goes
// on in a hidden tab), and the frame being heard taken from what the player
// has played less the latency the browser reports. In the deterministic mode the song advances only as the
// presents render it, and everything rendered counts as heard.
#include <emscripten.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/sound_internal.h"
#include "platform/web/web_internal.h"

namespace {

const int kChunkFrames = 2048;  // 46 ms at 44100 Hz
const int kBuffersAhead = 3;    // the queue ahead of the clock, in the show's buffer sizes

// Owned here (main thread; the page calls webSoundRender between the show's waits).
SndSong *renderingSong = nullptr;
int aheadMs = 300;
uint64_t heardFrame = 0;  // the latest frame the clock said is heard
std::vector<float> chunk(kChunkFrames * 2);

// The first frame of [from, to) whose order differs from `from`'s.
uint64_t orderChange(const SndSong *song, uint64_t from, uint64_t to) {
    const int first = songOrderAt(song, from);
    while (to - from > 1) {
        uint64_t middle = from + (to - from) / 2;
        if (songOrderAt(song, middle) == first)
            from = middle;
        else
            to = middle;
    }
    return to;
}

}  // namespace

// Called by the page for the next chunk of the playing song (silence when
// none); tells the page where each new order starts, for the benchmark.
extern "C" EMSCRIPTEN_KEEPALIVE void webSoundRender(float *out, int frames) {
    if (!renderingSong) {
        std::memset(out, 0, (size_t)frames * 2 * sizeof(float));
        return;
    }
    const uint64_t first = songFramesRendered(renderingSong);
    const int before = songLastOrder(renderingSong);
    songRender(renderingSong, sndMixRate(), out, (size_t)frames);
    if (songLastOrder(renderingSong) != before) {
        const uint64_t at = orderChange(renderingSong, first, songFramesRendered(renderingSong));
        kwAudioOrderStart(songOrderAt(renderingSong, at), (double)at);
    }
}

void webStepSound(size_t frames) {
    if (!renderingSong) return;
    std::vector<float> samples(frames * 2);
    songRender(renderingSong, sndMixRate(), samples.data(), frames);
}

int webHeardOrder() { return renderingSong ? songOrderAt(renderingSong, heardFrame) : 0; }

bool sndBackendOpen(int *rate, int bufferMs, const char **why) {
    aheadMs = kBuffersAhead * bufferMs;
    if (webStepMode()) return true;
    const int opened = kwAudioOpen();
    *why = opened == 0    ? "the browser has no Web Audio"
           : opened == -2 ? "the browser's audio worklet did not load"
                          : "the browser's audio output did not start";
    if (opened <= 0) return false;
    *rate = opened;
    return true;
}

bool sndBackendStart(SndSong *song) {
    renderingSong = song;
    heardFrame = 0;
    if (!webStepMode()) kwAudioStart(chunk.data(), kChunkFrames, aheadMs);
    return true;
}

void sndBackendStop() {
    if (!webStepMode()) kwAudioStop();
    renderingSong = nullptr;
}

bool sndBackendHeardFrame(uint64_t *frame) {
    if (!renderingSong) return false;
    const uint64_t rendered = songFramesRendered(renderingSong);
    heardFrame = webStepMode() ? rendered : std::min((uint64_t)kwAudioHeardFrame(), rendered);
    *frame = heardFrame;
    return true;
}

void sndBackendClose() {
    if (!webStepMode()) kwAudioClose();
}

int64_t sndOutputLatencyNs() { return (int64_t)kwAudioLatencyNs(); }
