// quit.h -- what every module that can end the show shares with the frame
// loop: the quit counter and the one message record both message loops take
// into. Both are owned by the frame loop (demo_main.cpp).
#pragma once

#include "platform/platform.h"

// Only ever incremented, by any module that wants the show to end; the frame
// loop runs while it is 0.
extern int quitRequests;
// Its wParam is the program's exit code, unless the start failed (then 1).
extern PlatformMessage queueMessage;
