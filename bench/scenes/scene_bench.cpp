// scene_bench.cpp -- wall time per frame of every row of the show's timeline
// (the row's calls, then present and clear, finished), and of one morph step
// on a full 4000-face mesh. Runs one display size per process:
//   scene_bench DATA_DIR WIDTH HEIGHT [SNAPSHOT_DIR]
// With SNAPSHOT_DIR, also writes one rendered frame of each row there as PPM.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "display/display.h"
#include "draw/draw.h"
#include "driver/driver.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "platform/platform.h"

namespace {

constexpr int kWarmupFrames = 210;  // fades up, as on the row's first seconds
constexpr int kTimedFrames = 240;
constexpr double kBudgetMs = 12.0;  // 60 Hz with room to spare

using Clock = std::chrono::steady_clock;

struct Call {
    const char *name;
    std::function<void()> run;
};
struct Row {
    std::string name;
    std::vector<Call> calls;
};

// The show's timeline rows, named by their orders ("orders02-04", "order07",
// "orders27+").
std::vector<Row> showRows() {
    std::vector<Row> rows;
    for (const TimelineRow &t : timelineRows) {
        char name[32];
        if (t.firstOrder == kClosingOrder)
            std::snprintf(name, sizeof name, "orders%02d+", (int)t.firstOrder);
        else if (t.endOrder == t.firstOrder + 1)
            std::snprintf(name, sizeof name, "order%02d", (int)t.firstOrder);
        else
            std::snprintf(name, sizeof name, "orders%02d-%02d", (int)t.firstOrder, (int)t.endOrder - 1);
        Row row{name, {}};
        for (int32_t i = 0; i < t.callCount; i++) row.calls.push_back(Call{t.calls[i].name, t.calls[i].run});
        rows.push_back(row);
    }
    return rows;
}

// A latitude-longitude sphere of slices x stacks faces; `bulge` pushes the
// radius out along a few lobes so that the morph shapes differ.
void buildSphere(int slot, int slices, int stacks, float radius, float bulge) {
    MeshSlot &m = meshStore[slot];
    int face = 0;
    for (int j = 0; j < stacks && face < kMaxMeshFaces; j++) {
        for (int i = 0; i < slices && face < kMaxMeshFaces; i++, face++) {
            const int us[4] = {i, i + 1, i + 1, i};
            const int vs[4] = {j, j, j + 1, j + 1};
            for (int c = 0; c < 4; c++) {
                const double lon = 2.0 * M_PI * us[c] / slices;
                const double lat = M_PI * vs[c] / stacks - M_PI / 2.0;
                const double r = radius * (1.0 + bulge * std::cos(5.0 * lon) * std::cos(3.0 * lat));
                m.x[c][face] = (float)(r * std::cos(lat) * std::cos(lon));
                m.y[c][face] = (float)(r * std::sin(lat));
                m.z[c][face] = (float)(r * std::cos(lat) * std::sin(lon));
            }
        }
    }
    m.faceCount = face;
    m.loaded = 1;
}

// The show's files from dataDir, by the same slots as the preload; a mesh
// that does not load is replaced by a stand-in sphere of about the size the
// data generator makes, and said so.
void loadShowData(const std::string &dataDir) {
    const char *meshFiles[kMeshSlots] = {"ball01.dxf", "balm01.dxf", "balm02.dxf", "balm03.dxf", "balm01.dxf"};
    for (int slot = 0; slot < kMeshSlots; slot++) {
        loadDxfMesh((dataDir + "/" + meshFiles[slot]).c_str(), slot);
        if (meshStore[slot].faceCount == 0) {
            std::printf("note: %s missing, stand-in sphere in slot %d\n", meshFiles[slot], slot);
            buildSphere(slot, slot == 0 ? 40 : 36, slot == 0 ? 30 : 24, 22.0f, slot == 2 ? 0.4f : 0.0f);
        }
    }
    for (int slot = 0; slot < kLoadingImageSlot; slot++) {
        char name[16];
        std::snprintf(name, sizeof name, "t%02d.bmp", slot);
        loadTexture(slot, (dataDir + "/" + name).c_str());
    }
    std::printf("meshes: ball %d faces, morph %d/%d/%d/%d faces\n", meshStore[0].faceCount, meshStore[1].faceCount,
                meshStore[2].faceCount, meshStore[3].faceCount, meshStore[4].faceCount);
}

void writePpm(const std::string &path, int w, int h) {
    std::vector<unsigned char> pixels((size_t)w * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = h - 1; y >= 0; y--) std::fwrite(&pixels[(size_t)y * w * 3], 1, (size_t)w * 3, f);
    std::fclose(f);
}

struct Stats {
    double median, worst;
};
Stats summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : 0.5 * (ms[n / 2 - 1] + ms[n / 2]);
    return Stats{median, ms.back()};
}

void printFigure(const std::string &name, double value, const char *unit) {
    std::printf("bench: %s %.3f %s\n", name.c_str(), value, unit);
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One frame as the show makes it, finished, so its whole cost is counted.
double timeFrame(const Row &row) {
    const Clock::time_point start = Clock::now();
    for (const Call &call : row.calls) call.run();
    swapFrame();
    clearFrame();
    glFinish();
    return msSince(start);
}

// Where a row's time goes: each call finished on its own, then the present.
void breakDown(const std::string &name, const Row &row) {
    std::vector<std::vector<double>> parts(row.calls.size() + 1);
    for (int frame = 0; frame < 60; frame++) {
        for (size_t i = 0; i < row.calls.size(); i++) {
            const Clock::time_point start = Clock::now();
            row.calls[i].run();
            glFinish();
            parts[i].push_back(msSince(start));
        }
        const Clock::time_point start = Clock::now();
        swapFrame();
        clearFrame();
        glFinish();
        parts.back().push_back(msSince(start));
    }
    for (size_t i = 0; i <= row.calls.size(); i++) {
        const char *part = i < row.calls.size() ? row.calls[i].name : "swapFrame+clearFrame";
        printFigure(name + ".part" + std::to_string(i) + "." + part + ".median", summarise(parts[i]).median, "ms");
    }
}

void benchRow(const std::string &prefix, const Row &row, int w, int h, const std::string &snapshotDir) {
    for (int i = 0; i < kWarmupFrames; i++) timeFrame(row);
    std::vector<double> ms;
    ms.reserve(kTimedFrames);
    for (int i = 0; i < kTimedFrames; i++) ms.push_back(timeFrame(row));
    const Stats s = summarise(ms);
    const std::string name = prefix + "." + row.name + "." + std::to_string(w) + "x" + std::to_string(h);
    printFigure(name + ".median", s.median, "ms");
    printFigure(name + ".worst", s.worst, "ms");
    breakDown(name, row);
    if (s.median > kBudgetMs) std::printf("over budget: %s (%.1f ms > %.1f ms)\n", name.c_str(), s.median, kBudgetMs);
    if (!snapshotDir.empty()) {
        for (const Call &call : row.calls) call.run();
        writePpm(
            snapshotDir + "/" + prefix + "-" + row.name + "-" + std::to_string(w) + "x" + std::to_string(h) + ".ppm", w,
            h);
        swapFrame();
        clearFrame();
    }
}

// One morph step of a full mesh toward a far shape (every coordinate moves).
void benchMorphStep() {
    buildSphere(2, 80, 50, 22.0f, 0.0f);
    buildSphere(3, 80, 50, 60.0f, 0.5f);
    std::vector<double> us;
    for (int i = 0; i < 400; i++) {
        const Clock::time_point start = Clock::now();
        morphMeshToward(2, 3);
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    const Stats s = summarise(us);
    printFigure("draw.morphMeshToward.4000faces.median", s.median, "us");
    printFigure("draw.morphMeshToward.4000faces.worst", s.worst, "us");
}

// The two passes of the morphing mesh and its morph step, apart, on the mesh
// now in slot 1; and one screen-covering additive square (what the twin
// rings, the still card and grown billboards cost per square).
Row meshPassesRow() {
    return {"passes",
            {{"solidSphereMapped",
              [] {
                  glLoadIdentity();
                  glTranslatef(0.0f, 0.0f, -100.0f);
                  glRotatef(30.0f, 1.0f, 1.0f, 1.0f);
                  enableSphereMap();
                  drawMesh(1, 7, 0.0f, kMeshTextured, 1.0f, 1.0f, 1.0f);
                  disableSphereMap();
              }},
             {"wireframeBlended",
              [] {
                  setWireframe();
                  drawMesh(1, 7, 0.9f, kMeshBlended, 0.5f, 0.5f, 0.5f);
                  setFilled();
              }},
             {"morphMeshToward", [] { morphMeshToward(1, 3); }},
             {"fullScreenAdditiveSquare", [] {
                  glLoadIdentity();
                  glTranslatef(0.0f, 0.0f, -99.0f);
                  drawQuadAt(60.0f, 0.0f, 0.0f, 0.0f, 4, 0.9f, kQuadAdditive, 1.0f, 1.0f, 1.0f);
              }}}};
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: scene_bench DATA_DIR WIDTH HEIGHT [SNAPSHOT_DIR]\n");
        return 2;
    }
    const std::string dataDir = argv[1];
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    const std::string snapshotDir = argc > 4 ? argv[4] : "";

    openDisplay(w, h, 0, 32);
    initGlState();
    if (!GLimp_HasCurrentContext()) {
        std::fprintf(stderr, "scene_bench: no GL context\n");
        return 1;
    }
    GLimp_SetSwapInterval(0);
    std::printf("renderer: %s\n", (const char *)glGetString(GL_RENDERER));
    initTables();
    loadShowData(dataDir);
    wobbleIndexX = 17, wobbleIndexY = 123, wobbleIndexZ = 250;

    for (const Row &row : showRows()) benchRow("scene", row, w, h, snapshotDir);

    // The mesh scenes again with every mesh at the store's limit of 4000
    // faces, to show which density fits the budget.
    for (int slot = 0; slot < kMeshSlots; slot++) buildSphere(slot, 80, 50, 22.0f, slot == 2 ? 0.4f : 0.0f);
    const std::vector<Row> rows = showRows();
    for (int i : {0, 8}) benchRow("scene4000", rows[i], w, h, "");
    breakDown("mesh4000." + std::to_string(w) + "x" + std::to_string(h), meshPassesRow());

    benchMorphStep();
    closeDisplay();
    return 0;
}
