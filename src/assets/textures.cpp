// textures.cpp -- the texture slots: the GL texture name of each of the
// show's images, and loading one .bmp file into a slot.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "assets/assets.h"

unsigned int textureNames[kTextureSlots];

namespace {

// GL reads every row of a texture image from a 4-byte boundary (the unpack
// alignment is left at its default), while decoded rows are packed at 3 bytes
// a pixel. Images a multiple of 4 pixels wide (all of the show's) go up as
// decoded; any other width goes up from a copy with padded rows, so GL reads
// neither across rows nor past the pixels. Null when the copy cannot be made:
// the texture then gets its size but no defined pixels.
const unsigned char *uploadRows(const RgbImage &image, unsigned char **copy) {
    size_t packed = (size_t)image.width * 3, padded = (packed + 3) / 4 * 4;
    *copy = nullptr;
    if (packed == padded) return image.data;
    *copy = (unsigned char *)std::malloc(padded * (size_t)image.height);
    if (!*copy) return nullptr;
    for (int32_t row = 0; row < image.height; row++)
        std::memcpy(*copy + padded * row, image.data + packed * row, packed);
    return *copy;
}

}  // namespace

// The new texture stays bound. A failed load leaves the slot as it was.
int loadTexture(int slot, const char *path) {
    int result = 0;
    RgbImage *image = loadBmpImage(path);
    if (image) {
        result = 1;
        unsigned char *copy;
        const unsigned char *rows = uploadRows(*image, &copy);
        glGenTextures(1, &textureNames[slot]);
        glBindTexture(GL_TEXTURE_2D, textureNames[slot]);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, image->width, image->height, 0, GL_RGB, GL_UNSIGNED_BYTE, rows);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        std::free(copy);
        if (image->data) std::free(image->data);
        std::free(image);
    }
    return result;
}
