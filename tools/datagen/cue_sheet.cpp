// The cue sheet. Each frame count below is worked out from the effects' own
// per-frame steps (single-precision, as the show stores them), so the
// reasoning stays next to the numbers; the bars are then chosen so that every
// row of the timeline lasts what its events need, and no longer than they
// stay worth watching. One bar is 100 frames (16 rows at speed 6, 144 BPM),
// 90 in the faster drive (160 BPM) and 80 in the faster bridge (180 BPM).
#include "cue_sheet.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "meshes.h"

namespace {

// Calls from rest near 1 until a fade with this down step is at or below 0.
int callsDown(float down) {
    float level = 0.0f;
    for (int i = 0; i < 400; i++) approachTarget(level, 1.0f, kFadeStep, down);  // at rest
    int calls = 0;
    while (level > 0.0f) approachTarget(level, 0.0f, kFadeStep, down), calls++;
    return calls;
}

int callsUntil(float shown) {
    float level = 0.0f;
    int calls = 0;
    while (level < shown) approachTarget(level, 1.0f, kFadeStep, kFadeStep), calls++;
    return calls;
}

int bannerSlideCalls() {
    float x = kBannerStartX;
    int calls = 0;
    while (x > kBannerRestX) x = x - kBannerSlideStep, calls++;
    return calls;
}

// A square is released every kBillboardReleaseCalls calls: square k joins on
// call 35k + 1.
constexpr int kLastRelease = (kBillboards - 1) * kBillboardReleaseCalls + 1;

// Calls a full-brightness square is drawn for, its brightness falling by step
// a call while above 0.
int squareCalls(float step) {
    float brightness = 1.0f;
    int calls = 0;
    while (brightness > 0.0f) brightness = brightness - step, calls++;
    return calls;
}

// The fly-in draws the ball (radius kBallRadius) at (0.1 n, 0, -100 + 0.15 n)
// on call n + 1. The picture's right edge is the plane x = k·depth, with
// k = tan(22.5°) · 4/3 for the 45° field of view at 4:3.
int ballCalls(bool whole) {
    const double k = std::tan(22.5 * 3.14159265358979 / 180) * 4.0 / 3.0;
    float x = 0.0f, z = kMeshStartZ;
    for (int call = 1;; call++) {
        double beyond = (x - k * -z) / std::sqrt(1 + k * k);  // the centre's distance past the edge
        if (beyond >= (whole ? kBallRadius : 0.0)) return call;
        x = x + kFlyInStepX;
        z = z + kFlyInStepZ;
    }
}

// The credits count 4400 calls; the closing fade starts on call 4402 and
// hands the music 256 volumes before it reaches 0, by which time the
// returning ball (fading from about 1 at 0.005) is dark: the show ends on
// call 4401 + 256 (kClosingRowFrames).

// Where a layer stops showing (under 1% of its pixels brighter than 40 of
// 255, as `make storyboard` measures it): the morph below level 0.5 (its
// wireframe pass covers it in black until then), its backdrop and the twin
// rings below about 0.2, the banner and the still card below about 0.18; the
// ring swarm alone and the cascade alone are dim. So a row that fades its
// layers out ends while they still show, and the next row's fade-in, which
// takes some forty frames to show, follows at once.
// clang-format off
std::vector<CueRow> makeSheet() {
  const EffectFrames e = effectFrames();
  const int bar = framesPerBar(kTuneBpm), fastBar = framesPerBar(kBridgeBpm);
  static_assert(kCreditSlideFrames % framesPerBar(kTuneBpm) == 0, "a credit slide lasts whole bars");
  const int slideBars = kCreditSlideFrames / bar;
  const int finaleOrders = (e.showEnd + bar + kCreditSlideFrames - 1) / kCreditSlideFrames;
  return {
    {0, 2, {2, 2}, kTuneBpm, e.fadeUp + bar, e.fadeUp + 3 * bar,
     "intro: the ball spins up from black and the opening card fades in; then two bars of both at full"},
    {2, 5, {2, 1, 1}, kTuneBpm, std::max(e.fadeDown, e.ballAtEdge), e.ballGone,
     "fly-in: the card fades out and the ring swarm in while the ball drifts right; cut while the ball is still "
     "at the edge, as the swarm alone is dim"},
    {5, 7, {1, 2}, kTuneBpm, e.fadeUp, e.fadeUp + 2 * bar,
     "the twin rings fade in over the dying swarm while the ball leaves the picture"},
    {7, 9, {3, 4}, kDriveBpm, e.cascadeRelease - e.bannerDown * 5 / 6, e.fadeUp + 5 * bar,
     "the banner slides in and fades up over the twin rings; the cascade starts, and with the three orders "
     "after these it runs long enough to release its last square"},
    {9, 12, {1, 1, 1}, kDriveBpm, e.twinRingsDown, e.bannerDown * 5 / 6,
     "the twin rings and the banner fade out; cut while the banner still shows (below about a fifth of its "
     "level the picture is dark), as the cascade alone is too faint to carry it: its last squares carry into "
     "the break, whose still card needs some forty frames to show"},
    {12, 13, {3}, kTuneBpm, std::max(e.fadeUp, e.cascadeOut), e.fadeUp + 2 * bar,
     "break: the still card fades up while the remaining squares die", e.layerShows},
    {13, 14, {1}, kTuneBpm, bar, e.fadeDown / 2,
     "the still card fades; cut at half brightness: the morph and its backdrop show from about a quarter of "
     "their fade-in, and the picture must not go dark for longer than a second between them"},
    {14, 24, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}, kTuneBpm, e.fadeUp + 3 * e.morphCycle, e.fadeUp + 4 * e.morphCycle,
     "main theme: the morph and its backdrop fade in and run three to four 600-frame cycles", e.layerShows},
    {24, 26, {1, 1}, kBridgeBpm, e.fadeDown - 3 * fastBar / 4, e.fadeDown * 4 / 5,
     "bridge, faster: the morph fades out; cut at about a fifth of its level, where it would go dark, since "
     "the twin rings that follow need some forty frames to show"},
    {26, kFinaleOrder, {4}, kBridgeBpm, e.fadeUp, e.fadeUp + 2 * fastBar,
     "bridge: the twin rings fade back in; the closing swarm is laid out on every frame", e.layerShows},
    {kFinaleOrder, kFinaleOrder + finaleOrders, std::vector<int>(finaleOrders, slideBars), kTuneBpm,
     e.showEnd + bar, 56 * bar,
     "finale: the credits and the closing fade, one order a slide, so that every slide enters on an order "
     "start; the music from here must outlast them before it loops"},
  };
}
// clang-format on

}  // namespace

EffectFrames effectFrames() {
    EffectFrames e;
    e.fadeUp = callsUntil(0.999f);
    e.fadeDown = callsDown(kFadeStep);
    e.twinRingsDown = callsDown(kTwinRingsFadeOutStep);
    e.bannerDown = callsDown(kBannerFadeOutStep);
    e.bannerSlide = bannerSlideCalls();
    e.cascadeRelease = kLastRelease;
    e.cascade = kLastRelease + squareCalls(kCascadeDimStep) - 1;
    e.cascadeOut = squareCalls(kCascadeOutDimStep);
    e.ballAtEdge = ballCalls(false);
    e.ballGone = ballCalls(true);
    e.morphCycle = kMorphCycleFrames;
    e.layerShows = callsUntil(0.2f);
    e.showEnd = kClosingRowFrames;
    return e;
}

const std::vector<CueRow> &cueSheet() {
    static const std::vector<CueRow> sheet = makeSheet();
    return sheet;
}

std::vector<OrderPlan> orderPlan() {
    std::vector<OrderPlan> plan;
    for (const CueRow &row : cueSheet())
        for (int b : row.bars) plan.push_back({b, row.bpm});
    return plan;
}

const std::vector<Section> &sections() {
    static const std::vector<Section> list = {
        {"intro", 0, 2},
        {"buildup", 2, 7},
        {"drive", 7, 12},
        {"break", 12, 14},
        {"theme", 14, 24},
        {"bridge", 24, kFinaleOrder},
        {"finale", kFinaleOrder, tuneOrders()},
    };
    return list;
}

int hushedRows(int order) {
    for (const CueRow &row : cueSheet()) {
        if (row.firstOrder != order || !row.dark) continue;
        const int beat = framesPerBar(row.bpm) / 4;  // frames
        return (row.dark + beat - 1) / beat * (kRowsPerBar / 4);
    }
    return 0;
}

int tuneOrders() { return static_cast<int>(orderPlan().size()); }

std::string cueSheetText() {
    std::ostringstream out;
    for (const CueRow &row : cueSheet()) {
        int frames = 0;
        for (int b : row.bars) frames += b * framesPerBar(row.bpm);
        out << "row " << row.firstOrder << " " << row.endOrder << " frames " << frames << " need " << row.needMin << " "
            << row.needMax << " # " << row.why << "\n";
    }
    int start = 0, order = 0;
    for (const OrderPlan &o : orderPlan()) {
        out << "order " << order++ << " start " << start << " frames " << o.frames() << " bars " << o.bars << " bpm "
            << o.bpm << "\n";
        start += o.frames();
    }
    for (const Section &s : sections()) out << "section " << s.name << " " << s.firstOrder << " " << s.endOrder << "\n";
    out << "timeline_rows";
    for (int32_t first : kTimelineRowStarts) out << " " << first;
    out << "\n";
    out << "slide_frames " << kCreditSlideFrames << "\n";
    out << "finale_end " << effectFrames().showEnd << "\n";
    return out.str();
}
