// sound.cpp -- the template backend's sound output behind the shared front
// end (sound_internal.h; see windows.cpp for what the template is). The
// front end calls these from the main thread: open, start/stop pairs, close.
#include "platform/sound_internal.h"

// Opens the output for interleaved stereo float at *rate (changed to the
// rate the device runs at), about bufferMs buffered; false with *why
// saying why.
bool sndBackendOpen(int *, int, const char **why) {
    *why = "the template backend has no sound output";
    return false;
}

// Renders the rewound song (songRender at sndMixRate()) as the device asks;
// a block the device refuses calls sndOutputFailed(), which ends the show.
bool sndBackendStart(SndSong *) { return false; }

// Once it returns, nothing renders the song.
void sndBackendStop() {}

// The song frame being heard now (hand-over time plus the output's
// latency); false when the output cannot tell.
bool sndBackendHeardFrame(uint64_t *) { return false; }

void sndBackendClose() {}

// From hand-over to heard, as sndBackendHeardFrame assumes; 0 when closed.
// Read by the tests that measure the heard order against the sound.
int64_t sndOutputLatencyNs() { return 0; }
