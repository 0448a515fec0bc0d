// textures.cpp -- placeholder until the assets module lands.
#include "assets/assets.h"
unsigned int textureNames[kTextureSlots];
int loadTexture(int, const char *) { return 0; }
