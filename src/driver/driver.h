// driver.h -- the program's spine: entry, start-up and shutdown order, the
// frame loop, the quit counter, and the scene timeline that picks each
// frame's scenes from the music's order.
#pragma once

#include "platform/platform.h"

// Owned by the frame loop (demo_main.cpp). Only ever incremented, by any
// module that wants the show to end; the loop runs while it is 0.
extern int quitRequests;
// The instance handle demoMain was started with (unused by this platform
// beyond being stored first).
extern void *appInstance;
// The one message record both message loops take into; its wParam is the
// program's exit code, unless the start failed (then 1).
extern PlatformMessage queueMessage;

int demoMain(void *instance, void *previousInstance, const char *commandLine, int showCommand);
void initTables();
void runTimeline();
