// timeline.h -- the show's script as data: each row of the scene timeline is
// a range of the song's orders and the scene routines called, in order, on
// every frame one of those orders is heard. runTimeline plays it; the data
// generator cuts the music to its rows, and the capture tool and the
// benchmarks read it.
#pragma once

#include <cstdint>

#include "effects/effects.h"
#include "music/music.h"

enum : int32_t { kTimelineRows = 12, kTimelineMaxCalls = 4 };

// The first order of each row: a row lasts until the next one's first order,
// the last one until the song ends.
constexpr int32_t kTimelineRowStarts[kTimelineRows] = {0, 2, 5, 7, 8, 9, 12, 13, 14, 24, 26, 27};
// The closing row: the credits, then the closing fade of picture and music.
constexpr int32_t kClosingOrder = kTimelineRowStarts[kTimelineRows - 1];
// Frames of the closing row until the show ends: the credits' slides, then a
// frame's pause, then one step a frame from full volume down to silence.
constexpr int32_t kClosingRowFrames = kLastSlideOutEnd + 1 + kFullVolume;

struct TimelineCall {
    const char *name;  // the scene routine's
    void (*run)();     // calls it with the row's fade target
};
struct TimelineRow {
    int32_t firstOrder, endOrder;  // orders [firstOrder, endOrder)
    int32_t callCount;
    TimelineCall calls[kTimelineMaxCalls];
};
extern const TimelineRow timelineRows[kTimelineRows];
