// present.h -- the show's clock as the shared present counts it
// (present.cpp): 60 presents to a second of music, the song advanced by each
// present's share of samples. What a backend that records the show learns of
// the present being made: the offline backend's users (the capture tool, the
// tests, through offline.h) and the browser's deterministic mode.
#pragma once

#include <cstddef>

enum : int { kShowPresentsPerSecond = 60 };

struct PlatformPresentStep {
    long present;    // from 0, the loading screen's presents included
    long showFrame;  // the show's frame it shows: 0 at the first present after the song started, -1 before
    // Frames of sound at the song's rate that belong to it: the integer steps
    // of n x rate / 60, so that none drifts.
    size_t samples;
};

// The present GLimp_SwapBuffers is making; between presents, the next one.
PlatformPresentStep Sys_PresentStep();
