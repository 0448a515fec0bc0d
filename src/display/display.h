// display.h -- the start-up options window, the display window with its GL
// context, the one-time GL state, presenting and clearing, and teardown.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct DisplaySettingsRecord {
    int32_t width;         // 640, 800 or 1024
    int32_t height;        // 480, 600 or 768
    int32_t bitsPerPixel;  // 16 or 32
    int32_t fullScreen;    // 1 full screen, 0 windowed
};

// Options window state (options_window.cpp owns these).
extern DisplaySettingsRecord DisplaySettings;  // defaults 640, 480, 16, 1
extern int32_t fullScreenChecked;              // 1 at start
extern int32_t optionsDone;
extern int32_t startCancelled;
extern PlatformWindow optionsWindow;
extern PlatformWindow optionsButtons[8];  // ids 201..208 in order

void runOptionsWindow();
intptr_t optionsWindowProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Display state (display_window.cpp owns these).
extern PlatformWindow displayWindow;
extern PlatformDc displayDc;
extern PlatformGlContext glContext;
extern int32_t screenWidth, screenHeight;

void openDisplay(int32_t width, int32_t height, int32_t fullScreen, int32_t bitsPerPixel);
void closeDisplay();
intptr_t displayWindowProc(PlatformWindow window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void initGlState();
void swapFrame();
void clearFrame();
