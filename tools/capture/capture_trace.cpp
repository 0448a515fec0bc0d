// capture_trace.cpp -- one JSON object per frame of the show: the music's
// order and volume, the quit counter and every fade level, position and
// counter of the effects. Floats carry 9 significant digits, so each
// single-precision value reads back exactly.
#include "assets/assets.h"
#include "capture.h"
#include "driver/driver.h"
#include "effects/effects.h"
#include "music/music.h"

namespace {

void field(FILE *f, const char *name, float v) { std::fprintf(f, ",\"%s\":%.9g", name, (double)v); }
void field(FILE *f, const char *name, int32_t v) { std::fprintf(f, ",\"%s\":%d", name, v); }

}  // namespace

void writeTraceLine(FILE *f, long frame) {
    if (!f) return;
    std::fprintf(f, "{\"frame\":%ld", frame);
    field(f, "musicOrder", musicOrder);
    field(f, "masterVolume", masterVolume);
    field(f, "quitRequests", (int32_t)quitRequests);
    field(f, "meshLevel", meshLevel);
    field(f, "openingCardLevel", openingCardLevel);
    field(f, "twinRingsLevel", twinRingsLevel);
    field(f, "twinRingsSpinFar", twinRingsSpinFar);
    field(f, "twinRingsSpinNear", twinRingsSpinNear);
    field(f, "bannerLevel", bannerLevel);
    field(f, "bannerX", bannerX);
    field(f, "stillCardLevel", stillCardLevel);
    field(f, "ringLevel", ringLevel);
    field(f, "innerRingLevel", innerRingLevel);
    field(f, "billboardFrame", billboardFrame);
    field(f, "billboardLast", billboardLast);
    field(f, "meshSpin", meshSpin);
    field(f, "meshOffsetX", meshOffsetX);
    field(f, "meshOffsetZ", meshOffsetZ);
    field(f, "morphSpin", morphSpin);
    field(f, "morphLevel", morphLevel);
    field(f, "morphFrame", morphFrame);
    field(f, "backdropLevel", backdropLevel);
    field(f, "wobbleIndexX", wobbleIndexX);
    field(f, "wobbleIndexY", wobbleIndexY);
    field(f, "wobbleIndexZ", wobbleIndexZ);
    field(f, "creditFrame", creditFrame);
    std::fprintf(f, ",\"creditLevels\":[");
    for (int k = 0; k < 8; k++) std::fprintf(f, "%s%.9g", k ? "," : "", (double)creditLevels[k]);
    std::fprintf(f, "]");
    field(f, "fadeOutTarget", fadeOutTarget);
    field(f, "loadingBrightness", loadingBrightness);
    std::fprintf(f, "}\n");
}
