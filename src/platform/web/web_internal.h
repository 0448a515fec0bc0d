// web_internal.h -- what the web backend's files share: the page side's
// calls (library_web.js) and the deterministic mode. Never included outside
// src/platform/web.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform_internal.h"

extern "C" {
// The page's URL parameter `name` into out (size bytes); 0 when absent.
int kwParam(const char *name, char *out, int size);
int kwNextEvent(int32_t *out);  // window, message, wParam, lParam
int kwFocus();
int kwCreateOptionsWindow(int window, const char *caption, int w, int h);
int kwCreateButton(int window, int parent, int kind, const char *caption, int x, int y, int w, int h);
void kwSetCheck(int window, int checked);
void kwDestroy(int window);
int kwCreateDisplay(int window, const char *caption, int fullScreen, int w, int h);
int kwEnterFullScreen(int window);  // waits for the browser's answer
void kwLeaveFullScreen();
void kwMessageBox(const char *text, const char *caption);  // waits for OK
void kwHandOver(int order, int running);                   // logs the frame just drawn
void kwWaitFrame();                                        // waits for the next animation frame
double kwFrameTime();                                      // when the frame the last wait ended at began (ms)
void kwCaptureFrame(int frame, int w, int h);
int kwAudioOpen();  // waits for the output: its rate; 0 without Web Audio, -1 when it does not start, -2 when its
                    // player does not load
void kwAudioStart(float *buffer, int chunkFrames, int aheadMs);
double kwAudioHeardFrame();
double kwAudioLatencyNs();
void kwAudioOrderStart(int order, double frame);
void kwAudioStop();
void kwAudioClose();
}

// Deterministic mode (URL parameter `step`): presents wait for nothing, the
// song advances by exactly a 60th of a second of samples per present, and the
// chosen frames of the show (`frames`, counted as present.h counts the
// show's frames: from the first present after the song started) are read
// back for the page's tests.
bool webStepMode();
// The order heard when the show last asked.
int webHeardOrder();
// Deterministic mode: advances the playing song by frames (their sound goes nowhere).
void webStepSound(size_t frames);
