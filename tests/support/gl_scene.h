// gl_scene.h -- helpers for drawing tests on real Mesa GL: small textures put
// into texture slots, an orthographic view of one unit per pixel, and
// whole-frame read-back.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "assets/assets.h"
#include "support/test_support.h"

namespace test {

// A w x h RGB texture with nearest filtering, its name stored in the slot.
inline void makeTexture(int slot, int w, int h, const std::vector<unsigned char> &rgb) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    textureNames[slot] = name;
}
inline void makeWhiteTexture(int slot) { makeTexture(slot, 1, 1, {255, 255, 255}); }
inline void makeWhiteTextures() {
    for (int slot = 0; slot < kTextureSlots; slot++) makeWhiteTexture(slot);
}

// One GL unit per pixel, x from left to left + width of the viewport, the
// view volume deep enough for every scene's depth.
inline void setOrtho(float left, float right, float bottom, float top) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

inline std::vector<unsigned char> readFrame(int w, int h) {
    std::vector<unsigned char> pixels(w * h * 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

inline void currentColor(float out[4]) { glGetFloatv(GL_CURRENT_COLOR, out); }

}  // namespace test
