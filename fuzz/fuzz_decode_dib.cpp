// fuzz_decode_dib.cpp -- decodeDib on any bytes: the input is written to a
// file and decoded through the real file mapping, then decoded once more
// from an exact-size heap copy so the sanitizers see any read past its end.
// Every header reaches the decoder, the largest images it takes included.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/assets.h"
#include "assets/dib_bytes.h"
#include "platform/platform.h"
#include "platform/platform_testing.h"

namespace {

// Under $TMPDIR (else /tmp). A plain buffer: it must outlive the exit
// handler that removes the file.
const char *inputPath() {
    static char path[4096];
    if (!path[0]) {
        const char *tmp = std::getenv("TMPDIR");
        std::snprintf(path, sizeof path, "%s/kaveld-fuzz-dib-%d.bmp", tmp && *tmp ? tmp : "/tmp", (int)getpid());
    }
    return path;
}

void release(RgbImage *image) {
    if (!image) return;
    // Touch every output byte so a short buffer would show.
    volatile unsigned sum = 0;
    for (size_t i = 0; i < (size_t)image->width * image->height * 3; i++) sum = sum + image->data[i];
    std::free(image->data);
    std::free(image);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    Sys_SetMessageBoxHook([](PlatformWindow, const char *, const char *) {});
    std::atexit([] { std::remove(inputPath()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *f = std::fopen(inputPath(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    release(decodeDib(inputPath()));

    uint8_t *exact = (uint8_t *)std::malloc(size ? size : 1);
    std::memcpy(exact, data, size);
    release(decodeDibBytes(exact, size));
    std::free(exact);
    return 0;
}
