// sound_internal.h -- what the two sound backends share: the module player
// (song_openmpt.cpp). A song renders on one thread at a time (the audio
// callback, or the caller in offline mode); its order log and master volume
// may be read or set from the main thread meanwhile without locks.
// Included only by src/platform and by the tests.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

enum : int { kSndDefaultRate = 44100 };
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
// True, with the order to report, while tests override the order query.
bool songOrderOverride(int *order);
// Unloads the module. The song must not be rendering.
void songDestroy(SndSong *song);
// Time the open output takes from handing a block over to it being heard, as
// the order query assumes it; 0 when no output is open or it has none.
int64_t sndOutputLatencyNs();
