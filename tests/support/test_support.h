// test_support.h -- what the tests share: an offline GL display opened the
// way the show opens one, pixel read-back, captured message boxes, and
// temporary files (temp_dir.h).
#pragma once

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/display.h"
#include "driver/driver.h"
#include "platform/platform.h"
#include "platform/platform_testing.h"
#include "support/temp_dir.h"

namespace test {

// The build directory (where the programs and data/ are) and its data/.
inline std::string binDir() {
    const char *env = std::getenv("KAVELD_BIN");
    return env ? env : KAVELD_TEST_BIN;
}
inline std::string dataDir() {
    const char *env = std::getenv("KAVELD_DATA");
    return env ? env : KAVELD_TEST_DATA;
}

// Opens a windowed w x h display on the offline backend with the one-time
// GL state; true when a context is current.
inline bool openGlDisplay(int w = 64, int h = 48) {
    openDisplay(w, h, 0, 32);
    initGlState();
    return glContext != 0 && GLimp_HasCurrentContext();
}

struct Rgb {
    int r, g, b;
};
inline Rgb readPixel(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgb{p[0], p[1], p[2]};
}
inline float readDepth(int x, int y) {
    float d = 0;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
    return d;
}

struct MessageBoxRecord {
    PlatformWindow owner;
    std::string text, caption;
};
inline std::vector<MessageBoxRecord> &messageBoxes() {
    static std::vector<MessageBoxRecord> boxes;
    return boxes;
}
// Routes every message box of the program into messageBoxes().
inline void captureMessageBoxes() {
    Sys_SetMessageBoxHook([](PlatformWindow owner, const char *text, const char *caption) {
        messageBoxes().push_back(MessageBoxRecord{owner, text, caption});
    });
}

inline void writeFile(const std::string &path, const std::string &bytes) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace test
