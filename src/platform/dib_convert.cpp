// dib_convert.cpp -- placeholder until the assets module lands.
#include "platform/platform.h"
int Sys_ConvertDibTo24(const PlatformDibHeader *, const uint8_t *, uint32_t, const uint8_t *, size_t, uint8_t *, size_t) { return 0; }
