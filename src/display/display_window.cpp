// display_window.cpp -- the window the show is drawn in: its class, full
// screen or windowed creation, the display-mode switch, pixel format and GL
// context, the one-time GL state, presenting, clearing and teardown.
#include <GL/gl.h>
#include <GL/glu.h>

#include "display/display.h"
#include "driver/quit.h"

PlatformWindow displayWindow = 0;
PlatformDc displayDc = 0;
PlatformGlContext glContext = 0;
int32_t screenWidth = 0, screenHeight = 0;

namespace {

// " k a v e l d  v1.0" and a small a with acute accent.
const char kDisplayCaption[] = " k a v e l d  v1.0\xC3\xA1";

void countFailure() { quitRequests++; }

}  // namespace

void openDisplay(int32_t width, int32_t height, int32_t fullScreen, int32_t bitsPerPixel) {
    PlatformWindowClass windowClass = {"main", displayWindowProc, kIconResource, kBackgroundBlack};
    if (!Sys_RegisterClass(&windowClass)) countFailure();

    displayWindow = GLimp_CreateWindow("main", kDisplayCaption, fullScreen == 1, 0, 0, width, height);
    if (!displayWindow) countFailure();

    if (fullScreen == 1 && !GLimp_ChangeDisplayMode(displayWindow, width, height, bitsPerPixel)) {
        Sys_MessageBox(0, "sorry the video mode you wanted could not be set", "video mode fail");
        countFailure();
    }

    PlatformPixelFormat format = {bitsPerPixel, 16, true};
    displayDc = GLimp_GetDc(displayWindow);
    if (!displayDc) countFailure();
    int chosen = GLimp_ChoosePixelFormat(displayDc, &format);
    if (chosen == 0) countFailure();
    if (!GLimp_SetPixelFormat(displayDc, chosen, &format)) countFailure();
    glContext = GLimp_CreateContext(displayDc);
    if (!glContext) countFailure();
    if (!GLimp_MakeCurrent(displayDc, glContext)) countFailure();
    GLimp_SetSwapInterval(1);

    screenWidth = width;
    screenHeight = height;
}

void initGlState() {
    if (!GLimp_HasCurrentContext()) return;  // cancelled start: nothing to set up
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1.0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_PROJECTION);
    glViewport(0, 0, screenWidth, screenHeight);
    // The far value is negative on purpose: depth rises toward ~0.999 with
    // distance and nothing in front of the eye is ever clipped by a far plane.
    gluPerspective(45.0, (GLdouble)screenWidth / (GLdouble)screenHeight, 1.0, -2000.0);
    glMatrixMode(GL_MODELVIEW);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

void swapFrame() { GLimp_SwapBuffers(displayDc); }

void clearFrame() {
    if (GLimp_HasCurrentContext()) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void closeDisplay() {
    GLimp_ChangeDisplayMode(displayWindow, 0, 0, 0);
    if (glContext) {
        if (!GLimp_MakeCurrent(0, 0)) Sys_MessageBox(0, "opengl error", "opengl");
        if (!GLimp_DeleteContext(glContext)) Sys_MessageBox(0, "opengl error", "opengl");
        glContext = 0;
    }
    if (displayDc) GLimp_ReleaseDc(displayWindow, displayDc);
    if (displayWindow) Sys_DestroyWindow(displayWindow);
}

intptr_t displayWindowProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == kMsgDestroy) Sys_PostQuitMessage(0);
    if (message == kMsgKeyDown && wParam == kVkEscape) quitRequests++;
    return Sys_DefWindowProc(window, message, wParam, lParam);
}
