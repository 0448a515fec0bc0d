// preload.cpp -- placeholder until the assets module lands.
#include "assets/assets.h"
float loadingBrightness = 1.0f;
void loadAssets() {}
void drawLoadingScreen(float, float, bool) {}
