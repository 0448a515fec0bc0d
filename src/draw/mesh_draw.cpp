// mesh_draw.cpp -- draws a mesh of the mesh store as textured quads (plain or
// shifted by a constant offset) and morphs one mesh toward another by a fixed
// step per coordinate and call.
#include <GL/gl.h>

#include "assets/assets.h"
#include "draw/draw.h"

const float morphStep = 0.1f;

namespace {

// Colour first with alpha 0; then the texture, and for a blended mesh the
// colour again with its alpha, blending and the texture once more.
void beginMeshState(int textureSlot, float alpha, int flags, float r, float g, float b) {
    glColor4f(r, g, b, 0.0f);
    if (flags & kMeshTextured) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textureNames[textureSlot]);
    }
    if (flags & kMeshBlended) {
        glColor4f(r, g, b, alpha);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, textureNames[textureSlot]);
    }
}

void endMeshState(int flags) {
    if (flags & (kMeshTextured | kMeshBlended)) glDisable(GL_TEXTURE_2D);
    if (flags & kMeshBlended) glDisable(GL_BLEND);
}

// Texture coordinates of corners 0..3 of every face.
const float kCornerS[4] = {0.0f, 1.0f, 1.0f, 0.0f};
const float kCornerT[4] = {0.0f, 0.0f, 1.0f, 1.0f};

void sendFaces(const MeshSlot &mesh) {
    glBegin(GL_QUADS);
    for (int i = 0; i < mesh.faceCount; i++) {
        for (int c = 0; c < 4; c++) {
            glTexCoord2f(kCornerS[c], kCornerT[c]);
            glVertex3f(mesh.x[c][i], mesh.y[c][i], mesh.z[c][i]);
        }
    }
    glEnd();
}

void sendFacesOffset(const MeshSlot &mesh, float dx, float dy, float dz) {
    glBegin(GL_QUADS);
    for (int i = 0; i < mesh.faceCount; i++) {
        for (int c = 0; c < 4; c++) {
            const float vx = dx + mesh.x[c][i];
            const float vy = dy + mesh.y[c][i];
            const float vz = dz + mesh.z[c][i];
            glTexCoord2f(kCornerS[c], kCornerT[c]);
            glVertex3f(vx, vy, vz);
        }
    }
    glEnd();
}

// Up one step if below, then, on the value just stored, down one step if
// above: a coordinate comes to rest at most one step below its target.
void stepToward(float &a, float b) {
    if (a < b) a = a + morphStep;
    if (a > b) a = a - morphStep;
}

}  // namespace

void drawMesh(int slot, int textureSlot, float alpha, int flags, float r, float g, float b) {
    beginMeshState(textureSlot, alpha, flags, r, g, b);
    sendFaces(meshStore[slot]);
    endMeshState(flags);
}

void drawMeshOffset(int slot, int textureSlot, float alpha, int flags, float r, float g, float b, float dx, float dy,
                    float dz) {
    beginMeshState(textureSlot, alpha, flags, r, g, b);
    sendFacesOffset(meshStore[slot], dx, dy, dz);
    endMeshState(flags);
}

// Walks over the target's faces (not the moving mesh's count); the moving
// mesh's faceCount is left as it is.
void morphMeshToward(int fromSlot, int toSlot) {
    MeshSlot &from = meshStore[fromSlot];
    const MeshSlot &to = meshStore[toSlot];
    for (int i = 0; i < to.faceCount; i++) {
        for (int c = 0; c < 4; c++) {
            stepToward(from.x[c][i], to.x[c][i]);
            stepToward(from.y[c][i], to.y[c][i]);
            stepToward(from.z[c][i], to.z[c][i]);
        }
    }
}
