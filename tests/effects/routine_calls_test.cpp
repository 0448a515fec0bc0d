// routine_calls_test.cpp -- what every scene routine hands the drawing
// primitives, call by call: depth, turn, half size, texture slot, alpha,
// flags and the level it draws with, over a few calls from a known state so
// that each step (fade up and down, spin, slide) shows in the next call.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "effects/effects.h"
#include "support/gl_log.h"
#include "support/gl_scene.h"

namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Lines times(int n, const Lines &lines) {
    Lines all;
    for (int i = 0; i < n; i++) all = all + lines;
    return all;
}
// The grey of a level as the primitives take it: "L, L, L".
std::string grey(const char *level) { return std::string(level) + ", " + level + ", " + level; }

struct Row {
    const char *name;
    std::function<void()> calls;  // from the state each test starts with, plus what it sets
    Lines expected;
};

void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }

// One row per test case, so that each starts from the show's start values.
class RoutineCalls : public ::testing::TestWithParam<Row> {};

TEST_P(RoutineCalls, FromAKnownState) {
    const Row &row = GetParam();
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    test::makeWhiteTextures();
    initTables();
    gllog::start(gllog::kPrimitives);
    row.calls();
    EXPECT_EQ(gllog::stop(), row.expected);
}

const Lines kIdentity = {"glLoadIdentity()"};

// Every row of an overlay shows the level it draws with on four calls: two
// toward 1 and two toward 0, so the up and the down step both show.
void upUpDownDown(const std::function<void(float)> &routine) {
    for (float target : {1.0f, 1.0f, 0.0f, 0.0f}) routine(target);
}

Lines openingCard(const char *level) {
    return kIdentity + Lines{"glTranslatef(0, 0, -5)", "drawCenteredQuad(2, 0, 0.9, 1, " + grey(level) + ")"};
}
Lines twinRings(const char *far, const char *near, const char *level) {
    return kIdentity +
           Lines{"glTranslatef(0, 0, -111.3)", std::string("glRotatef(") + far + ", 0, 0, 1)",
                 "drawCenteredQuad(90, 3, 0.6, 1, " + grey(level) + ")"} +
           kIdentity +
           Lines{"glTranslatef(0, 0, -111)", std::string("glRotatef(") + near + ", 0, 0, 1)",
                 "drawCenteredQuad(90, 3, 0.5, 1, " + grey(level) + ")"};
}
Lines banner(const char *x, const char *level) {
    return kIdentity + Lines{std::string("glTranslatef(") + x + ", 0, -5)",
                             "drawCenteredQuad(2.1, 5, 0.9, 1, " + grey(level) + ")"};
}
Lines stillCard(const char *level) {
    return kIdentity + Lines{"glTranslatef(0, 0, -101)", "drawCenteredQuad(56, 6, 0.999, 1, " + grey(level) + ")"};
}

const Row kOverlays[] = {
    {"opening card: nothing at level 0, then half size 2 at -5",
     [] { upUpDownDown([](float t) { drawOpeningCard(0, t); }); },
     openingCard("0.005") + openingCard("0.01") + openingCard("0.005")},
    {"opening card: the slot it is given", [] { openingCardLevel = 0.5f, drawOpeningCard(11, 1.0f); },
     kIdentity + Lines{"glTranslatef(0, 0, -5)", "drawCenteredQuad(2, 11, 0.9, 1, " + grey("0.5") + ")"}},
    {"twin rings: far square first, each with its alpha and spin",
     [] {
         twinRingsLevel = 0.5f;
         upUpDownDown(drawTwinRings);
     },
     twinRings("0", "0", "0.5") + twinRings("0.5", "0.7", "0.505") + twinRings("1", "1.4", "0.51") +
         twinRings("1.5", "2.1", "0.506")},
    {"twin rings: at level 0 nothing", [] { drawTwinRings(0.0f); }, {}},
    {"banner: drawn at every level, sliding left", [] { upUpDownDown(drawSlidingBanner); },
     banner("4", "0") + banner("3.98", "0.005") + banner("3.96", "0.01") + banner("3.94", "0.007")},
    {"still card: drawn at every level", [] { upUpDownDown(drawStillCard); },
     stillCard("0") + stillCard("0.005") + stillCard("0.01") + stillCard("0.005")},
};

INSTANTIATE_TEST_SUITE_P(Overlays, RoutineCalls, ::testing::ValuesIn(kOverlays));

// Particles with neither turn nor radial speed stay where they are put: at
// angle 0 (straight up) and radius 10.
void parkParticlesAbove() {
    for (RingParticle &p : ringParticles) p = RingParticle{0, 0, 10.0f, 0.0f};
}
Lines swarm(int count, const char *level) {
    return kIdentity + Lines{"glTranslatef(0, 0, -110)"} +
           times(count, {"drawQuadAt(5, 0, 10, 0, 2, 0.9, 1, " + grey(level) + ")"});
}
Lines billboard(const char *half, const char *x, const std::string &colour) {
    return kIdentity + Lines{"glTranslatef(0, 0, -99)",
                             std::string("drawQuadAt(") + half + ", " + x + ", -30, 0, 4, 0.9, 1, " + colour + ")"};
}

const Row kSwarms[] = {
    {"ring particles: every one at -110, half size 5",
     [] {
         meshLevel = 1.0f;
         parkParticlesAbove();
         upUpDownDown(drawRingParticles);
     },
     swarm(115, "0") + swarm(115, "0.005") + swarm(115, "0.01") + swarm(115, "0.005")},
    {"ring particles: nothing while the mesh is at 0",
     [] {
         parkParticlesAbove();
         drawRingParticles(1.0f);
     },
     kIdentity + Lines{"glTranslatef(0, 0, -110)"}},
    {"inner ring: the first 85 with a level of its own",
     [] {
         meshLevel = -0.005f;
         ringLevel = 0.5f;
         parkParticlesAbove();
         upUpDownDown(drawRingParticlesInner);
     },
     swarm(85, "0") + swarm(85, "0.005") + swarm(85, "0.01") + swarm(85, "0.005")},
    {"billboards: square 0 at -99, growing and dimming", [] { drawBillboardCascade(), drawBillboardCascade(); },
     billboard("0", "50", grey("1")) + billboard("0.045", "50", grey("0.996"))},
    {"billboards: the 36th call draws square 1 after square 0",
     [] {
         billboardFrame = 34;
         billboards[0].scale = 1.0f;
         drawBillboardCascade();
         drawBillboardCascade();
     },
     billboard("9", "50", grey("1")) + billboard("9.045", "50", grey("0.996")) + billboard("0", "45.5", grey("1"))},
    {"billboards: skipped below 0 by the cascade, drawn by the way out",
     [] {
         billboards[0] = Billboard{50.0f, -30.0f, 9.0f, 1.0f, -0.25f, -0.25f, -0.25f};
         drawBillboardCascade();
         drawBillboardCascadeOut();
     },
     kIdentity + Lines{"glTranslatef(0, 0, -99)"} + billboard("9.045", "50", grey("-0.254"))},
    {"billboards: the way out dims by 0.006 and releases none",
     [] {
         billboardFrame = 34;
         drawBillboardCascadeOut();
         drawBillboardCascadeOut();
     },
     billboard("0", "50", grey("1")) + billboard("0.045", "50", grey("0.994"))},
};

INSTANTIATE_TEST_SUITE_P(ParticlesAndBillboards, RoutineCalls, ::testing::ValuesIn(kSwarms));

Lines spinningMesh(const char *x, const char *z, const char *spin, const char *level, bool offset = false) {
    const std::string mesh = offset ? "drawMeshOffset(0, 1, 0, 1, " + grey(level) + ", 0, 0, 0)"
                                    : "drawMesh(0, 1, 0, 1, " + grey(level) + ")";
    return kIdentity + Lines{std::string("glTranslatef(") + x + ", 0, " + z + ")",
                             std::string("glRotatef(") + spin + ", 1, 1, 1)", "enableSphereMapS()", mesh,
                             "disableSphereMapS()"};
}
Lines morphScene(const char *spin, const char *level, const char *wire, const char *toward) {
    return kIdentity + Lines{"enableSphereMap()",
                             "glTranslatef(15, 5, -87)",
                             std::string("glRotatef(") + spin + ", 1, 1, 1)",
                             "drawMesh(1, 7, 0, 1, " + grey(level) + ")",
                             "disableSphereMap()",
                             "setWireframe()",
                             "drawMesh(1, 7, 0.9, 2, " + grey(wire) + ")",
                             "setFilled()",
                             std::string("morphMeshToward(1, ") + toward + ")"};
}
Lines backdrop(const char *level) {
    return kIdentity + Lines{"glTranslatef(15, 6, -180)", "drawCenteredQuad(150, 8, 0.9, 1, " + grey(level) + ")"};
}
Lines slide(int k, const char *level) {
    return kIdentity + Lines{"glTranslatef(0, 0, -5)",
                             "drawQuadAt(1.5, 0, 0, 0, " + std::to_string(9 + k) + ", 0.95, 1, " + grey(level) + ")"};
}
// The wobble reads the cosine table at indices that move at random; with
// every entry 1 the placement is the same whatever they are.
void flattenCosines() {
    for (float &c : cosTable) c = 1.0f;
}

const Row kScenes[] = {
    {"intro mesh: at -100, spinning by 1, brightening by 0.005", [] { drawIntroMesh(), drawIntroMesh(); },
     spinningMesh("0", "-100", "0", "0") + spinningMesh("0", "-100", "1", "0.005")},
    {"fly-in: drifting right and nearer", [] { drawMeshFlyIn(), drawMeshFlyIn(); },
     spinningMesh("0", "-100", "0", "0") + spinningMesh("0.1", "-99.85", "1", "0.005")},
    {"fly-back: returning and fading toward its target",
     [] {
         meshOffsetX = 1.0f, meshOffsetZ = -99.0f, meshLevel = 0.5f;
         drawMeshFlyBack(0.0f), drawMeshFlyBack(1.0f);
     },
     spinningMesh("1", "-99", "0", "0.5", true) + spinningMesh("0.735", "-99.4", "1", "0.495", true)},
    {"morph scene: solid sphere-mapped, then the wireframe at level - 0.5 (in single precision)",
     [] {
         flattenCosines();
         morphLevel = 0.5f;
         upUpDownDown(drawMorphScene);
     },
     morphScene("0", "0.5", "0", "4") + morphScene("1", "0.505", "0.005", "4") +
         morphScene("2", "0.51", "0.00999999", "4") + morphScene("3", "0.505", "0.005", "4")},
    {"morph scene: the cycle's second target", [] { flattenCosines(), morphFrame = 299, drawMorphScene(1.0f); },
     morphScene("0", "0", "-0.5", "2")},
    {"backdrop: half size 150 far behind",
     [] {
         flattenCosines();
         upUpDownDown(drawMorphBackdrop);
     },
     backdrop("0") + backdrop("0.005") + backdrop("0.01") + backdrop("0.005")},
    {"credits: slide 0 fading in", [] { runCredits(), runCredits(); }, slide(0, "0") + slide(0, "0.005")},
    {"credits: the outgoing slide first",
     [] {
         creditFrame = 1000, creditLevels[1] = 0.5f;
         runCredits(), runCredits();
     },
     slide(1, "0.5") + slide(2, "0") + slide(1, "0.495") + slide(2, "0.005")},
};

INSTANTIATE_TEST_SUITE_P(Scenes, RoutineCalls, ::testing::ValuesIn(kScenes));

}  // namespace
