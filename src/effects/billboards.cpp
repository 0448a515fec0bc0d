// billboards.cpp -- the row of 25 squares along the bottom of the picture,
// released right to left one every 35 calls, each growing from a point and
// fading out over 250 frames by a brightness of its own.
#include <GL/gl.h>

#include "draw/draw.h"
#include "effects/effects.h"

Billboard billboards[kBillboards];
int32_t billboardFrame = 0;
int32_t billboardLast = 0;

void layoutBillboards() {
    float x = 50.0f;
    for (int i = 0; i < kBillboards; i++) {
        Billboard &b = billboards[i];
        b.x = x;
        b.y = -30.0f;
        b.size = 9.0f;
        b.red = 1.0f;
        b.green = 1.0f;
        b.blue = 1.0f;
        x = x - 4.5f;
    }
}

namespace {

void drawBillboard(const Billboard &b) {
    const float halfSize = b.size * b.scale;
    drawQuadAt(halfSize, b.x, b.y, 0.0f, 4, 0.9f, kQuadAdditive, b.red, b.green, b.blue);
}

// Brightness lives in blue; the other two components follow it.
void dimBillboard(Billboard &b, float step) {
    b.blue = b.blue - step;
    b.green = b.blue;
    b.red = b.green;
}

}  // namespace

// A square is drawn while its brightness is above 0; it keeps growing as
// long as the brightness is not exactly 0, which it never lands on.
void drawBillboardCascade() {
    for (int i = 0; i <= billboardLast; i++) {
        Billboard &b = billboards[i];
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -99.0f);
        if (b.blue != 0.0f) {
            if (b.red > 0.0f) drawBillboard(b);
            b.scale = b.scale + 0.005f;
        }
        dimBillboard(b, kCascadeDimStep);
    }
    billboardFrame++;
    if (billboardFrame >= kBillboardReleaseCalls) {
        billboardFrame = 0;
        if (billboardLast < kBillboards - 1) billboardLast++;
    }
}

// No more releases; every released square fades faster and is drawn even
// below 0 (the pipeline clamps its colour to black).
void drawBillboardCascadeOut() {
    for (int i = 0; i <= billboardLast; i++) {
        Billboard &b = billboards[i];
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -99.0f);
        if (b.blue != 0.0f) {
            drawBillboard(b);
            b.scale = b.scale + 0.005f;
        }
        dimBillboard(b, kCascadeOutDimStep);
    }
}
