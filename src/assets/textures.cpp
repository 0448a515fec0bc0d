// textures.cpp -- the texture slots: the GL texture name of each of the
// show's images, and loading one .bmp file into a slot.
#include <GL/gl.h>

#include <cstdlib>

#include "assets/assets.h"

unsigned int textureNames[kTextureSlots];

// The new texture stays bound. A failed load leaves the slot as it was.
int loadTexture(int slot, const char *path) {
    int result = 0;
    RgbImage *image = loadBmpImage(path);
    if (image) {
        result = 1;
        glGenTextures(1, &textureNames[slot]);
        glBindTexture(GL_TEXTURE_2D, textureNames[slot]);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE, image->data);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        if (image->data) std::free(image->data);
        std::free(image);
    }
    return result;
}
