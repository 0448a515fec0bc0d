// sound_internal.h -- the sound side every backend shares: the module player
// (song_openmpt.cpp), the front end's state (sound_common.cpp) and the hooks
// each backend's sound.cpp provides to it. A song renders on one thread at a
// time (the audio callback, or the caller in offline mode); its order log and
// master volume may be read or set from the main thread meanwhile without
// locks. Included only by src/platform and by the tests.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// The order is sampled every kSndOrderGrain frames of the song (0.7 ms at 44100 Hz).
enum : int { kSndOrderGrain = 32 };

// Back to the first order, frame 0, order log emptied, volume ramp settled.
// Not while the song renders on another thread.
void songRewind(SndSong *song);
// Renders the next frames (interleaved stereo float) at rate and advances the
// song; applies the master volume. Always fills all frames (silence past an
// end that cannot loop). Returns frames.
size_t songRender(SndSong *song, int rate, float *out, size_t frames);
// Frames rendered since the last rewind (render thread, or offline caller).
uint64_t songFramesRendered(const SndSong *song);
// Order of the last rendered frame, 0 before any. Render thread or offline caller.
int songLastOrder(const SndSong *song);
// Order that song frame `frame` was rendered in, from the order log; lock-free,
// any thread. Frames not yet rendered report the latest order.
int songOrderAt(const SndSong *song, uint64_t frame);
// Unloads the module. The song must not be rendering.
void songDestroy(SndSong *song);
// ---- the front end (sound_common.cpp), for the backends
// The song the output plays (null when none) and the rate it was opened at.
SndSong *sndPlayingSong();
int sndMixRate();

// A block the open output refused: the music is no longer heard, so the show
// ends. Any thread (a backend's feeder); the message pump takes it
// (sndTakeOutputFailure) and ends the show through its shutdown, exit 1.
void sndOutputFailed();
// True once after sndOutputFailed. Main thread.
bool sndTakeOutputFailure();

// ---- each backend's sound.cpp. The front end calls them from the main
// thread, one output at a time: open, then any number of start/stop pairs,
// then close.
// Opens the output for interleaved stereo float at *rate (a rate the device
// cannot take is changed to the one it runs at), buffering about bufferMs.
// False when it cannot, with *why saying why ("" when there is nothing to add).
bool sndBackendOpen(int *rate, int bufferMs, const char **why);
// Starts rendering song, already rewound, through the open output.
bool sndBackendStart(SndSong *song);
// Stops rendering the playing song; once it returns, nothing renders it.
void sndBackendStop();
// The frame of the playing song being heard now; false when the output
// cannot tell (the front end keeps the last one it heard).
bool sndBackendHeardFrame(uint64_t *frame);
void sndBackendClose();
// Time the open output takes from handing a block over to it being heard, as
// the heard frame assumes it; 0 when no output is open or it has none.
int64_t sndOutputLatencyNs();
