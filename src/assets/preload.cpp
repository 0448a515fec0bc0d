// preload.cpp -- the start-up preload: seeds the random generator and the
// morph scene's wobble, shows the loading image, reads every mesh and
// texture, fades the loading image out and starts the music.
#include <GL/gl.h>

#include <cstdlib>

#include "assets/assets.h"
#include "display/display.h"
#include "driver/quit.h"
#include "music/music.h"
#include "platform/platform.h"

float loadingBrightness = 1.0f;
int32_t wobbleIndexX = 0;
int32_t wobbleIndexY = 0;
int32_t wobbleIndexZ = 0;

namespace {

void loadingQuadCorners(float halfWidth, float halfHeight) {
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-halfWidth, -halfHeight, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(halfWidth, -halfHeight, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(halfWidth, halfHeight, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-halfWidth, halfHeight, 0.0f);
}

// Draws over whatever the back buffer holds, one presented frame per
// grey level, until the level has passed 0, or until a signal asked the
// program to end (the viewer wants to stop: the fade ends at that present).
void fadeLoadingImage(float halfWidth, float halfHeight) {
    while (loadingBrightness > 0.0f) {
        glBegin(GL_QUADS);
        glColor4f(loadingBrightness, loadingBrightness, loadingBrightness, 0.0f);
        loadingQuadCorners(halfWidth, halfHeight);
        glEnd();
        swapFrame();
        if (Sys_EndSignal() != 0) return;
        loadingBrightness -= 0.005f;
    }
}

}  // namespace

void drawLoadingScreen(float halfWidth, float halfHeight, bool fadeOut) {
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -5.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureNames[kLoadingImageSlot]);
    if (fadeOut) {
        fadeLoadingImage(halfWidth, halfHeight);
    } else {
        glBegin(GL_QUADS);
        loadingQuadCorners(halfWidth, halfHeight);
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
    if (!fadeOut) swapFrame();
}

void loadAssets() {
    if (startCancelled) return;
    std::srand((unsigned)Sys_CalendarTime());  // the clock, or the capture tool's seed
    wobbleIndexX = std::rand() % 360;
    wobbleIndexZ = std::rand() % 360;
    wobbleIndexY = std::rand() % 360;
    loadTexture(kLoadingImageSlot, kTextureFiles[kLoadingImageSlot]);
    drawLoadingScreen(1.0f, 1.0f, false);
    for (int slot = 0; slot < kMeshSlots; slot++) loadDxfMesh(kMeshFiles[slot], slot);
    for (int slot = 0; slot < kLoadingImageSlot; slot++) loadTexture(slot, kTextureFiles[slot]);
    drawLoadingScreen(1.0f, 1.0f, true);
    if (Sys_EndSignal() != 0) {  // asked to end while loading: no music, and no frame of the show
        quitRequests++;
        return;
    }
    startMusic(kSongFile);
}
