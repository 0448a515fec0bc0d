// scene_fixture.h -- what the scene tests share: small textures made in GL
// and put into texture slots, one-face meshes built in the mesh store, and
// read-back of the modelview translation a scene left behind.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "assets/assets.h"
#include "support/test_support.h"

namespace scene {

// Uploads w x h RGB texels as a nearest-filtered texture into `slot`.
inline void makeTexture(int slot, int w, int h, const unsigned char *texels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    textureNames[slot] = name;
}

inline void makeSolidTexture(int slot, unsigned char r, unsigned char g, unsigned char b) {
    const unsigned char texel[3] = {r, g, b};
    makeTexture(slot, 1, 1, texel);
}

// 4x4: columns 0 and 3 red, 1 and 2 green, blue added on rows 0 and 3.
// Sphere-mapped coordinates of a face toward the viewer stay near 0.5 (green,
// no blue); the face's own coordinates reach the outer columns and rows.
inline void makeProbeTexture(int slot) {
    unsigned char texels[4 * 4 * 3];
    for (int i = 0; i < 16; i++) {
        const bool outerCol = i % 4 == 0 || i % 4 == 3, outerRow = i / 4 == 0 || i / 4 == 3;
        texels[i * 3] = outerCol ? 255 : 0;
        texels[i * 3 + 1] = outerCol ? 0 : 255;
        texels[i * 3 + 2] = outerRow ? 255 : 0;
    }
    makeTexture(slot, 4, 4, texels);
}

// One square face of half size h in the plane z = 0 of its own coordinates,
// corners counter-clockwise from bottom left.
inline void buildSquareMesh(int slot, float h) {
    MeshSlot &m = meshStore[slot];
    const float xs[4] = {-h, h, h, -h};
    const float ys[4] = {-h, -h, h, h};
    for (int c = 0; c < 4; c++) {
        m.x[c][0] = xs[c];
        m.y[c][0] = ys[c];
        m.z[c][0] = 0.0f;
    }
    m.faceCount = 1;
    m.loaded = 1;
}

struct Vec3 {
    float x, y, z;
};
inline Vec3 modelviewTranslation() {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    return Vec3{m[12], m[13], m[14]};
}

inline bool textureGenS() { return glIsEnabled(GL_TEXTURE_GEN_S) == GL_TRUE; }
inline bool textureGenT() { return glIsEnabled(GL_TEXTURE_GEN_T) == GL_TRUE; }
inline GLint polygonMode() {
    GLint modes[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    return modes[0] == modes[1] ? modes[0] : -1;
}

}  // namespace scene
