// fuzz_dxf_mesh.cpp -- loadDxfMesh on any bytes written to a file; the face
// count must stay within the store.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "assets/assets.h"

namespace {

// Under $TMPDIR (else /tmp). A plain buffer: it must outlive the exit
// handler that removes the file.
const char *inputPath() {
    static char path[4096];
    if (!path[0]) {
        const char *tmp = std::getenv("TMPDIR");
        std::snprintf(path, sizeof path, "%s/kaveld-fuzz-dxf-%d.dxf", tmp && *tmp ? tmp : "/tmp", (int)getpid());
    }
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    std::atexit([] { std::remove(inputPath()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *f = std::fopen(inputPath(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    int slot = size ? data[0] % kMeshSlots : 0;
    loadDxfMesh(inputPath(), slot);
    if (meshStore[slot].faceCount < 0 || meshStore[slot].faceCount > kMaxMeshFaces) std::abort();
    return 0;
}
