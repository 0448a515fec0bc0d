// driver.h -- the program's spine: entry, start-up and shutdown order, the
// frame loop, the quit counter, and the scene timeline that picks each
// frame's scenes from the music's order.
#pragma once

#include "driver/quit.h"

// The instance handle demoMain was started with (unused by this platform
// beyond being stored first).
extern void *appInstance;

int demoMain(void *instance, void *previousInstance, const char *commandLine, int showCommand);
void initTables();
void runTimeline();
