// show_data.cpp -- the list of the show's data files with the maker of each,
// writing one, and the check that it makes every file the show reads.
#include "show_data.h"

#include <algorithm>
#include <cstdio>

#include "assets/assets.h"
#include "font_text.h"
#include "meshes.h"
#include "textures.h"
#include "tune.h"

namespace {

DataFile mesh(const char *name, Mesh (*make)(), const char *layer, int colour) {
    return {name, [=] {
                Mesh m = make();
                std::string text = dxfText(m, layer, colour);
                std::printf("  %s: %zu faces\n", name, m.size());
                return std::vector<uint8_t>(text.begin(), text.end());
            }};
}

std::vector<uint8_t> song() {
    XmModule m = buildTune();
    double total = 0, finale = 0;
    std::vector<double> seconds = orderSeconds(m);
    for (size_t i = 0; i < seconds.size(); ++i) {
        total += seconds[i];
        if (static_cast<int>(i) >= m.restart) finale += seconds[i];
    }
    std::printf("  demotune.xm: %zu orders, %zu patterns, %.1f s, finale loop %.1f s\n", m.orders.size(),
                m.patterns.size(), total, finale);
    return encodeXm(m);
}

std::vector<DataFile> makeList() {
    std::vector<DataFile> list;
    for (const TextureFile &t : textureFiles()) list.push_back({t.name, [make = t.make] { return encodeBmp(make()); }});
    list.push_back(mesh("ball01.dxf", makeBall, "ball", 7));
    list.push_back(mesh("balm01.dxf", makeMorphSphere, "sphere", 5));
    list.push_back(mesh("balm02.dxf", makeMorphStar, "star", 1));
    list.push_back(mesh("balm03.dxf", makeMorphTorus, "torus", 3));
    list.push_back({"demotune.xm", song});
    return list;
}

}  // namespace

const std::vector<DataFile> &showDataFiles() {
    static const std::vector<DataFile> files = makeList();
    return files;
}

bool writeDataFile(const DataFile &file, const std::string &dir) {
    std::vector<uint8_t> bytes = file.make();
    std::string path = dir + "/" + file.name;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "kaveld-datagen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "kaveld-datagen: error writing %s\n", path.c_str());
    return ok;
}

std::vector<std::string> filesNotMade() {
    std::vector<std::string> read(kMeshFiles, kMeshFiles + kMeshSlots);
    read.insert(read.end(), kTextureFiles, kTextureFiles + kTextureSlots);
    read.push_back(kSongFile);
    std::vector<std::string> missing;
    for (const std::string &path : read) {
        std::string name = path.substr(path.find('/') + 1);
        bool made = std::any_of(showDataFiles().begin(), showDataFiles().end(),
                                [&](const DataFile &f) { return f.name == name; });
        if (!made && std::find(missing.begin(), missing.end(), path) == missing.end()) missing.push_back(path);
    }
    return missing;
}

bool startShowData(const std::string &fontDir) {
    for (const std::string &path : filesNotMade()) {
        std::fprintf(stderr, "kaveld-datagen: the show reads %s, which nothing here makes\n", path.c_str());
        return false;
    }
    std::string error;
    if (!openFonts(fontDir, error)) {
        std::fprintf(stderr, "kaveld-datagen: %s\n", error.c_str());
        return false;
    }
    return true;
}
