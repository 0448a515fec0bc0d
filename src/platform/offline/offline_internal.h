// offline_internal.h -- what the offline backend's files share. Never
// included outside src/platform/offline.
#pragma once

#include "platform/offline/offline.h"
#include "platform/platform_internal.h"
#include "platform/sdl_gl/gl_context.h"

// The configuration the capture tool (or a test) set, its defaults before.
const PlatformOfflineConfig &offlineConfig();
