// music.h -- the song and the show's clock: starting the module, polling the
// order being heard once per frame, the closing volume fade, stopping.
#pragma once

#include <cstdint>

#include "platform/platform.h"

constexpr int32_t kFullVolume = 256;           // the master volume at start
constexpr int32_t kMixRate = kSndDefaultRate;  // frames a second of the song's sound

extern SndSong *songHandle;   // null until loaded; null if loading failed
extern int32_t musicOrder;    // order polled at the start of the frame; 0 at start
extern int32_t masterVolume;  // kFullVolume at start; counts down during the closing fade

void startMusic(const char *path);
void pollMusicPosition();
void stepMusicFadeOut();
void stopMusic();
