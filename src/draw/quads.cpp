// quads.cpp -- the textured squares every scene draws with (centred on the
// modelview origin or at a given point, optionally additive) and the
// sphere-map and polygon-mode switches.
#include <GL/gl.h>

#include "assets/assets.h"
#include "draw/draw.h"

namespace {

// Texture on and bound, colour; for an additive square blending on and the
// colour once more.
void beginQuadState(int textureSlot, float alpha, int flags, float r, float g, float b) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureNames[textureSlot]);
    glColor4f(r, g, b, alpha);
    if (flags & kQuadAdditive) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glColor4f(r, g, b, alpha);
    }
}

// Blending off if it was switched on here; the texture off in any case.
void endQuadState(int flags) {
    if (flags & kQuadAdditive) glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void sendSquare(float left, float bottom, float right, float top, float z) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(left, bottom, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(right, bottom, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(right, top, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(left, top, z);
    glEnd();
}

}  // namespace

void drawCenteredQuad(float halfSize, int textureSlot, float alpha, int flags, float r, float g, float b) {
    beginQuadState(textureSlot, alpha, flags, r, g, b);
    sendSquare(-halfSize, -halfSize, halfSize, halfSize, 0.0f);
    endQuadState(flags);
}

void drawQuadAt(float halfSize, float x, float y, float z, int textureSlot, float alpha, int flags, float r, float g,
                float b) {
    beginQuadState(textureSlot, alpha, flags, r, g, b);
    const float left = x - halfSize;
    const float right = x + halfSize;
    const float bottom = y - halfSize;
    const float top = y + halfSize;
    sendSquare(left, bottom, right, top, z);
    endQuadState(flags);
}

void enableSphereMap() {
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}
void disableSphereMap() {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}
void enableSphereMapS() { glEnable(GL_TEXTURE_GEN_S); }
void disableSphereMapS() { glDisable(GL_TEXTURE_GEN_S); }

void setWireframe() {
    glPolygonMode(GL_FRONT, GL_LINE);
    glPolygonMode(GL_BACK, GL_LINE);
}
void setFilled() {
    glPolygonMode(GL_FRONT, GL_FILL);
    glPolygonMode(GL_BACK, GL_FILL);
}
