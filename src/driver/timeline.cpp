// timeline.cpp -- the show's script: each frame, the scenes of the song's
// current order with their fade targets, then the end condition.
#include "driver/timeline.h"

#include "driver/driver.h"

namespace {

const int32_t kSongEnd = INT32_MAX;

constexpr int32_t rowEnd(int row) { return row + 1 < kTimelineRows ? kTimelineRowStarts[row + 1] : kSongEnd; }

// clang-format off
constexpr TimelineCall introMesh{"drawIntroMesh", [] { drawIntroMesh(); }};
constexpr TimelineCall flyIn{"drawMeshFlyIn", [] { drawMeshFlyIn(); }};
constexpr TimelineCall cardIn{"drawOpeningCard", [] { drawOpeningCard(0, 1.0f); }};
constexpr TimelineCall cardOut{"drawOpeningCard", [] { drawOpeningCard(0, 0.0f); }};
constexpr TimelineCall ringsIn{"drawRingParticles", [] { drawRingParticles(1.0f); }};
constexpr TimelineCall ringsOut{"drawRingParticles", [] { drawRingParticles(0.0f); }};
constexpr TimelineCall twinIn{"drawTwinRings", [] { drawTwinRings(1.0f); }};
constexpr TimelineCall twinOut{"drawTwinRings", [] { drawTwinRings(0.0f); }};
constexpr TimelineCall cascade{"drawBillboardCascade", [] { drawBillboardCascade(); }};
constexpr TimelineCall cascadeOut{"drawBillboardCascadeOut", [] { drawBillboardCascadeOut(); }};
constexpr TimelineCall bannerIn{"drawSlidingBanner", [] { drawSlidingBanner(1.0f); }};
constexpr TimelineCall bannerOut{"drawSlidingBanner", [] { drawSlidingBanner(0.0f); }};
constexpr TimelineCall stillIn{"drawStillCard", [] { drawStillCard(1.0f); }};
constexpr TimelineCall stillOut{"drawStillCard", [] { drawStillCard(0.0f); }};
constexpr TimelineCall backdropIn{"drawMorphBackdrop", [] { drawMorphBackdrop(1.0f); }};
constexpr TimelineCall backdropOut{"drawMorphBackdrop", [] { drawMorphBackdrop(0.0f); }};
constexpr TimelineCall morphIn{"drawMorphScene", [] { drawMorphScene(1.0f); }};
constexpr TimelineCall morphOut{"drawMorphScene", [] { drawMorphScene(0.0f); }};
constexpr TimelineCall reshuffle{"initRingParticles", [] { initRingParticles(); }};
constexpr TimelineCall twinClose{"drawTwinRings", [] { drawTwinRings(fadeOutTarget); }};
constexpr TimelineCall innerClose{"drawRingParticlesInner", [] { drawRingParticlesInner(fadeOutTarget); }};
constexpr TimelineCall flyBack{"drawMeshFlyBack", [] { drawMeshFlyBack(fadeOutTarget); }};
constexpr TimelineCall credits{"runCredits", [] { runCredits(); }};
// clang-format on

}  // namespace

const TimelineRow timelineRows[kTimelineRows] = {
    {kTimelineRowStarts[0], rowEnd(0), 2, {introMesh, cardIn}},
    {kTimelineRowStarts[1], rowEnd(1), 3, {ringsIn, flyIn, cardOut}},
    {kTimelineRowStarts[2], rowEnd(2), 3, {twinIn, ringsOut, flyIn}},
    {kTimelineRowStarts[3], rowEnd(3), 4, {twinIn, cascade, ringsOut, bannerIn}},
    {kTimelineRowStarts[4], rowEnd(4), 3, {twinIn, cascade, bannerIn}},
    {kTimelineRowStarts[5], rowEnd(5), 3, {twinOut, cascade, bannerOut}},
    {kTimelineRowStarts[6], rowEnd(6), 2, {stillIn, cascadeOut}},
    {kTimelineRowStarts[7], rowEnd(7), 2, {stillOut, cascadeOut}},
    {kTimelineRowStarts[8], rowEnd(8), 2, {backdropIn, morphIn}},
    {kTimelineRowStarts[9], rowEnd(9), 2, {backdropOut, morphOut}},
    {kTimelineRowStarts[10], rowEnd(10), 2, {twinIn, reshuffle}},
    {kTimelineRowStarts[11], rowEnd(11), 4, {twinClose, innerClose, flyBack, credits}},
};

void runTimeline() {
    pollMusicPosition();
    const int32_t order = musicOrder;

    for (const TimelineRow &row : timelineRows)
        if (order >= row.firstOrder && order < row.endOrder)
            for (int32_t i = 0; i < row.callCount; i++) row.calls[i].run();

    // The show ends once the music has faded out and the mesh has gone dark.
    if (!(meshLevel > 0.0f) && !(masterVolume > 0)) quitRequests++;
}
