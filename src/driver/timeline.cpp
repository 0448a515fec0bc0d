// timeline.cpp -- the show's script: each frame, the scenes of the song's
// current order with their fade targets, then the end condition.
#include "driver/driver.h"
#include "effects/effects.h"
#include "music/music.h"

namespace {

bool inOrders(int32_t order, int32_t from, int32_t below) { return order >= from && order < below; }

}  // namespace

void runTimeline() {
    pollMusicPosition();
    const int32_t order = musicOrder;

    if (inOrders(order, 0, 2)) {
        drawIntroMesh();
        drawOpeningCard(0, 1.0f);
    }
    if (inOrders(order, 2, 5)) {
        drawRingParticles(1.0f);
        drawMeshFlyIn();
        drawOpeningCard(0, 0.0f);
    }
    if (inOrders(order, 5, 7)) {
        drawTwinRings(1.0f);
        drawRingParticles(0.0f);
        drawMeshFlyIn();
    }
    if (inOrders(order, 7, 8)) {
        drawTwinRings(1.0f);
        drawBillboardCascade();
        drawRingParticles(0.0f);
        drawSlidingBanner(1.0f);
    }
    if (inOrders(order, 8, 9)) {
        drawTwinRings(1.0f);
        drawBillboardCascade();
        drawSlidingBanner(1.0f);
    }
    if (inOrders(order, 9, 12)) {
        drawTwinRings(0.0f);
        drawBillboardCascade();
        drawSlidingBanner(0.0f);
    }
    if (inOrders(order, 12, 13)) {
        drawStillCard(1.0f);
        drawBillboardCascadeOut();
    }
    if (inOrders(order, 13, 14)) {
        drawStillCard(0.0f);
        drawBillboardCascadeOut();
    }
    if (inOrders(order, 14, 24)) {
        drawMorphBackdrop(1.0f);
        drawMorphScene(1.0f);
    }
    if (inOrders(order, 24, 26)) {
        drawMorphBackdrop(0.0f);
        drawMorphScene(0.0f);
    }
    if (inOrders(order, 26, 27)) {
        drawTwinRings(1.0f);
        initRingParticles();
    }
    if (order >= 27) {
        drawTwinRings(fadeOutTarget);
        drawRingParticlesInner(fadeOutTarget);
        drawMeshFlyBack(fadeOutTarget);
        runCredits();
    }

    // The show ends once the music has faded out and the mesh has gone dark.
    if (!(meshLevel > 0.0f) && !(masterVolume > 0)) quitRequests++;
}
