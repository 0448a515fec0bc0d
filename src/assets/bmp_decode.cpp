// bmp_decode.cpp -- placeholder until the assets module lands.
#include "assets/assets.h"
RgbImage *loadBmpImage(const char *) { return nullptr; }
RgbImage *decodeDib(const char *) { return nullptr; }
uint32_t countDibColors(const unsigned char *) { return 0; }
