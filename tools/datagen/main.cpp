// kaveld-datagen: writes the show's data files (textures, meshes, music)
// into the directory named on the command line. Same source, same bytes.
// With --cues it prints the cue sheet the music is composed to.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "font_text.h"
#include "meshes.h"
#include "textures.h"
#include "tune.h"

namespace {

bool writeFile(const std::string &path, const void *data, size_t size) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "kaveld-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "kaveld-datagen: error writing %s\n", path.c_str());
    return ok;
}

bool writeTextures(const std::string &dir) {
    std::string error;
    if (!openFonts(error)) {
        std::fprintf(stderr, "kaveld-datagen: %s\n", error.c_str());
        return false;
    }
    bool ok = true;
    for (const TextureFile &t : textureFiles()) {
        std::vector<uint8_t> bytes = encodeBmp(t.make());
        ok = writeFile(dir + "/" + t.name, bytes.data(), bytes.size()) && ok;
    }
    closeFonts();
    return ok;
}

bool writeMesh(const std::string &dir, const char *name, const Mesh &mesh, const char *layer, int colour) {
    std::string text = dxfText(mesh, layer, colour);
    std::printf("  %s: %zu faces\n", name, mesh.size());
    return writeFile(dir + "/" + name, text.data(), text.size());
}

bool writeMeshes(const std::string &dir) {
    Mesh sphere = makeMorphSphere(), star = makeMorphStar(), torus = makeMorphTorus();
    std::printf("  morph reach: sphere->star %.2f, star->torus %.2f, torus->sphere %.2f\n",
                maxCoordinateDistance(sphere, star), maxCoordinateDistance(star, torus),
                maxCoordinateDistance(torus, sphere));
    bool ok = writeMesh(dir, "ball01.dxf", makeBall(), "ball", 7);
    ok = writeMesh(dir, "balm01.dxf", sphere, "sphere", 5) && ok;
    ok = writeMesh(dir, "balm02.dxf", star, "star", 1) && ok;
    ok = writeMesh(dir, "balm03.dxf", torus, "torus", 3) && ok;
    return ok;
}

bool writeTune(const std::string &dir) {
    XmModule m = buildTune();
    std::vector<uint8_t> bytes = encodeXm(m);
    double total = 0, finale = 0;
    std::vector<double> seconds = orderSeconds(m);
    for (size_t i = 0; i < seconds.size(); ++i) {
        total += seconds[i];
        if (static_cast<int>(i) >= m.restart) finale += seconds[i];
    }
    std::printf("  demotune.xm: %zu orders, %zu patterns, %.1f s, finale loop %.1f s\n", m.orders.size(),
                m.patterns.size(), total, finale);
    return writeFile(dir + "/demotune.xm", bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kaveld-datagen OUTPUT_DIRECTORY | --cues\n");
        return 2;
    }
    if (std::string(argv[1]) == "--cues") {
        std::fputs(cueSheetText().c_str(), stdout);  // the frames each order is composed to
        return 0;
    }
    const std::string dir = argv[1];
    auto start = std::chrono::steady_clock::now();
    bool ok = writeTextures(dir);
    ok = writeMeshes(dir) && ok;
    ok = writeTune(dir) && ok;
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("kaveld-datagen: %s in %.0f ms\n", ok ? "wrote data" : "FAILED", ms);
    return ok ? 0 : 1;
}
