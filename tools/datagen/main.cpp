// kaveld-datagen: writes the show's data files (textures, meshes, music)
// into the directory named on the command line. Same source, same bytes.
// With --cues it prints the cue sheet the music is composed to.
#include <chrono>
#include <cstdio>
#include <string>

#include "cue_sheet.h"
#include "font_text.h"
#include "meshes.h"
#include "show_data.h"

namespace {

void printMorphReach() {
    Mesh sphere = makeMorphSphere(), star = makeMorphStar(), torus = makeMorphTorus();
    std::printf("  morph reach: sphere->star %.2f, star->torus %.2f, torus->sphere %.2f\n",
                maxCoordinateDistance(sphere, star), maxCoordinateDistance(star, torus),
                maxCoordinateDistance(torus, sphere));
}

bool writeAll(const std::string &dir) {
    if (!startShowData(kSystemFontDir)) return false;
    bool ok = true;
    for (const DataFile &file : showDataFiles()) ok = writeDataFile(file, dir) && ok;
    closeFonts();
    printMorphReach();
    return ok;
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
    auto start = std::chrono::steady_clock::now();
    bool ok = writeAll(argv[1]);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("kaveld-datagen: %s in %.0f ms\n", ok ? "wrote data" : "FAILED", ms);
    return ok ? 0 : 1;
}
