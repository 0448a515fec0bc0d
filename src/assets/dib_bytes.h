// dib_bytes.h -- the decoder's core for a file already in memory, for the
// tests and fuzzers that hand it exact-length buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/assets.h"

// Decodes a whole .bmp file held in file[0..length); shows at most one
// message box and returns the image or null, as decodeDib does once mapped.
RgbImage *decodeDibBytes(const uint8_t *file, size_t length);
