// fuzz_decode_dib.cpp -- decodeDib on any bytes: the input is written to a
// file and decoded through the real file mapping, then decoded once more
// from an exact-size heap copy so the sanitizers see any read past its end.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "assets/assets.h"
#include "assets/dib_bytes.h"
#include "platform/platform.h"

namespace {

// Images claiming more pixels than this are legal but only cost the fuzzer
// time and memory; they are skipped before decoding.
const uint64_t kMaxFuzzPixels = 1u << 22;

uint32_t read32(const uint8_t *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }

bool claimsHugeImage(const uint8_t *data, size_t size) {
    size_t dib = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    if (size < dib + 12) return false;
    uint64_t w, h;
    if (read32(data + dib) == 12) {
        w = data[dib + 4] | (data[dib + 5] << 8);
        h = data[dib + 6] | (data[dib + 7] << 8);
    } else {
        w = (uint64_t)(int64_t)(int32_t)read32(data + dib + 4);
        h = (uint64_t)(int64_t)(int32_t)read32(data + dib + 8);
        w = (int64_t)w < 0 ? 0 : w;
        h = (int64_t)h < 0 ? 0 : h;
    }
    return w * h > kMaxFuzzPixels;
}

// A plain buffer: it must outlive the exit handler that removes the file.
const char *inputPath() {
    static char path[64];
    if (!path[0]) std::snprintf(path, sizeof path, "/tmp/kaveld-fuzz-dib-%d.bmp", (int)getpid());
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
    if (claimsHugeImage(data, size)) return -1;
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
