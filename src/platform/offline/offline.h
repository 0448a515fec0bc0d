// offline.h -- what only the offline backend offers beyond the contract: the
// capture tool (and the tests) configure its virtual options window and see
// every presented frame (what it is by the show's clock: Sys_PresentStep in
// present.h), and render the song's sound themselves.
#pragma once

#include <cstddef>

#include "platform/platform.h"
#include "platform/present.h"

// Whether the virtual options window presses OK by itself once created (the
// capture tool sets the display settings first), and the hook that sees every
// presented frame.
struct PlatformOfflineConfig {
    bool autoAcceptOptions;
    void (*onPresent)(void *user, int width, int height);  // GL context current; may read pixels
    void *user;
};
void Sys_ConfigureOffline(const PlatformOfflineConfig *config);

// Renders the next frames of the playing song (interleaved stereo float at
// the init rate) and advances the song by exactly that much. Returns frames
// written (0 when no song plays: *out is filled with silence).
size_t Snd_RenderOffline(float *out, size_t frames);
