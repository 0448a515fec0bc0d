// The cue sheet: what each row of the show's timeline needs on screen, in
// frames at 60 frames per second, and the bars of music each order gets so
// that the row lasts that long. The tune is composed to it (tune.cpp).
#pragma once

#include <string>
#include <vector>

#include "driver/timeline.h"

constexpr int kShowFps = 60;
constexpr int kTuneSpeed = 6;    // ticks per row
constexpr int kTuneBpm = 144;    // 2.5 / 144 s a tick: one bar of 16 rows is 100 frames
constexpr int kDriveBpm = 160;   // the drive's faster tempo: 90 frames a bar
constexpr int kBridgeBpm = 180;  // the bridge's faster tempo: 80 frames a bar
constexpr int kRowsPerBar = 16;

// The closing row's first order is also the module's restart position.
constexpr int kFinaleOrder = kClosingOrder;

// One row of the timeline and the orders that play under it.
struct CueRow {
    int firstOrder, endOrder;  // orders [firstOrder, endOrder)
    std::vector<int> bars;     // bars of each of those orders
    int bpm;                   // their tempo (speed kTuneSpeed)
    int needMin, needMax;      // frames the row's events need, at least and at most
    std::string why;
    int dark = 0;  // frames the picture stays dark at the row's start, while its layers fade in
};

// Frame counts of the effects' rules, derived from their steps.
struct EffectFrames {
    int fadeUp;          // a 0.005 fade from 0 to its resting level near 1
    int fadeDown;        // a 0.005 fade from rest near 1 to below 0
    int twinRingsDown;   // the twin rings' 0.004 fade
    int bannerDown;      // the banner's 0.003 fade
    int bannerSlide;     // the banner's slide from x 4.0 to its rest
    int cascadeRelease;  // drawBillboardCascade calls until the last square is released
    int cascade;         // drawBillboardCascade calls until the last square has died
    int cascadeOut;      // a full-brightness square under drawBillboardCascadeOut
    int ballAtEdge;      // fly-in calls until the ball's centre reaches the right edge
    int ballGone;        // fly-in calls until the whole ball is past the right edge
    int morphCycle;      // one morph cycle
    int layerShows;      // a 0.005 fade-in until its layer shows (a fifth of its level)
    int showEnd;         // calls of the closing row until the show ends (credits + fades)
};
EffectFrames effectFrames();

const std::vector<CueRow> &cueSheet();
// Frames of one bar at `bpm`.
constexpr int framesPerBar(int bpm) { return kRowsPerBar * kTuneSpeed * 5 * kShowFps / (2 * bpm); }
static_assert(framesPerBar(kTuneBpm) == 100 && framesPerBar(kDriveBpm) == 90 && framesPerBar(kBridgeBpm) == 80,
              "bars of whole frames");
// Bars and tempo of every order of the module, in play order.
struct OrderPlan {
    int bars, bpm;
    int frames() const { return bars * framesPerBar(bpm); }
};
std::vector<OrderPlan> orderPlan();
// The score's sections, each a run of orders [firstOrder, endOrder).
struct Section {
    const char *name;
    int firstOrder, endOrder;
};
const std::vector<Section> &sections();
int tuneOrders();
// Rows, in whole beats, that the picture stays dark for at the start of
// `order` (0 where it does not): the score holds its breath under them.
int hushedRows(int order);
// The sheet as text: one line per order (order, first frame, frames) after a
// line per row with its need; the capture test and the storyboard read it.
std::string cueSheetText();
