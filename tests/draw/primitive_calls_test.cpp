// primitive_calls_test.cpp -- every GL call each drawing primitive makes, in
// order, with its arguments: state on and off, colours, texture slots, the
// corners and their texture coordinates.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "support/gl_log.h"
#include "support/gl_scene.h"

namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The corners of a square from bottom left counter-clockwise, each after
// its texture coordinate, between glBegin and glEnd.
Lines square(const char *corners[4]) {
    const char *texCoords[4] = {"0, 0", "1, 0", "1, 1", "0, 1"};
    Lines lines = {"glBegin(GL_QUADS)"};
    for (int c = 0; c < 4; c++) {
        lines.push_back(std::string("glTexCoord2f(") + texCoords[c] + ")");
        lines.push_back(std::string("glVertex3f(") + corners[c] + ")");
    }
    lines.push_back("glEnd()");
    return lines;
}

const Lines kAdditiveOn = {"glEnable(GL_BLEND)", "glBlendFunc(GL_SRC_ALPHA, GL_ONE)"};
const Lines kBlendedOn = {"glEnable(GL_BLEND)", "glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA)"};
const Lines kTextureOff = {"glDisable(GL_TEXTURE_2D)"};
Lines texture(int slot) {
    return {"glEnable(GL_TEXTURE_2D)", "glBindTexture(GL_TEXTURE_2D, slot" + std::to_string(slot) + ")"};
}

const char *kCentred[4] = {"-2, -2, 0", "2, -2, 0", "2, 2, 0", "-2, 2, 0"};
const char *kAt[4] = {"5, -7, -3", "15, -7, -3", "15, 3, -3", "5, 3, -3"};
// The one face of mesh 0: corner c at (c, 10 + c, 20 + c).
const char *kFace[4] = {"0, 10, 20", "1, 11, 21", "2, 12, 22", "3, 13, 23"};
const char *kFaceMoved[4] = {"0.5, 9, 20", "1.5, 10, 21", "2.5, 11, 22", "3.5, 12, 23"};

struct Row {
    const char *name;
    std::function<void()> call;
    Lines expected;
};
void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }

const Row kRows[] = {
    {"additive centred square", [] { drawCenteredQuad(2.0f, 3, 0.9f, kQuadAdditive, 0.25f, 0.5f, 0.75f); },
     texture(3) + Lines{"glColor4f(0.25, 0.5, 0.75, 0.9)"} + kAdditiveOn + Lines{"glColor4f(0.25, 0.5, 0.75, 0.9)"} +
         square(kCentred) + Lines{"glDisable(GL_BLEND)"} + kTextureOff},
    {"plain centred square", [] { drawCenteredQuad(2.0f, 17, 0.5f, 0, 1.0f, 1.0f, 1.0f); },
     texture(17) + Lines{"glColor4f(1, 1, 1, 0.5)"} + square(kCentred) + kTextureOff},
    {"other flag bits ignored", [] { drawCenteredQuad(2.0f, 3, 0.5f, 6, 1.0f, 1.0f, 1.0f); },
     texture(3) + Lines{"glColor4f(1, 1, 1, 0.5)"} + square(kCentred) + kTextureOff},
    {"additive square at a point", [] { drawQuadAt(5.0f, 10.0f, -2.0f, -3.0f, 9, 0.95f, 1, 0.5f, 0.5f, 0.5f); },
     texture(9) + Lines{"glColor4f(0.5, 0.5, 0.5, 0.95)"} + kAdditiveOn + Lines{"glColor4f(0.5, 0.5, 0.5, 0.95)"} +
         square(kAt) + Lines{"glDisable(GL_BLEND)"} + kTextureOff},
    {"textured mesh", [] { drawMesh(0, 1, 0.7f, kMeshTextured, 0.5f, 0.25f, 1.0f); },
     Lines{"glColor4f(0.5, 0.25, 1, 0)"} + texture(1) + square(kFace) + kTextureOff},
    {"blended mesh", [] { drawMesh(0, 7, 0.9f, kMeshBlended, 0.5f, 0.5f, 0.5f); },
     Lines{"glColor4f(0.5, 0.5, 0.5, 0)", "glColor4f(0.5, 0.5, 0.5, 0.9)"} + kBlendedOn + texture(7) + square(kFace) +
         kTextureOff + Lines{"glDisable(GL_BLEND)"}},
    {"textured and blended mesh drawn as blended", [] { drawMesh(0, 7, 0.9f, 3, 0.5f, 0.5f, 0.5f); },
     Lines{"glColor4f(0.5, 0.5, 0.5, 0)"} + texture(7) + Lines{"glColor4f(0.5, 0.5, 0.5, 0.9)"} + kBlendedOn +
         texture(7) + square(kFace) + kTextureOff + Lines{"glDisable(GL_BLEND)"}},
    {"untextured mesh", [] { drawMesh(0, 7, 0.9f, 0, 1.0f, 1.0f, 1.0f); },
     Lines{"glColor4f(1, 1, 1, 0)"} + square(kFace)},
    {"mesh with an offset", [] { drawMeshOffset(0, 1, 0.0f, kMeshTextured, 1.0f, 1.0f, 1.0f, 0.5f, -1.0f, 0.0f); },
     Lines{"glColor4f(1, 1, 1, 0)"} + texture(1) + square(kFaceMoved) + kTextureOff},
    {"state switches",
     [] {
         enableSphereMap(), disableSphereMap(), enableSphereMapS(), disableSphereMapS();
         setWireframe(), setFilled();
     },
     {"glEnable(GL_TEXTURE_GEN_S)", "glEnable(GL_TEXTURE_GEN_T)", "glDisable(GL_TEXTURE_GEN_S)",
      "glDisable(GL_TEXTURE_GEN_T)", "glEnable(GL_TEXTURE_GEN_S)", "glDisable(GL_TEXTURE_GEN_S)",
      "glPolygonMode(GL_FRONT, GL_LINE)", "glPolygonMode(GL_BACK, GL_LINE)", "glPolygonMode(GL_FRONT, GL_FILL)",
      "glPolygonMode(GL_BACK, GL_FILL)"}},
};

class PrimitiveCalls : public ::testing::TestWithParam<Row> {};

TEST_P(PrimitiveCalls, MakeTheirGlCallsInOrder) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    test::makeWhiteTextures();
    MeshSlot &mesh = meshStore[0];
    for (int c = 0; c < 4; c++) mesh.x[c][0] = float(c), mesh.y[c][0] = 10.0f + c, mesh.z[c][0] = 20.0f + c;
    mesh.faceCount = 1;
    gllog::start(gllog::kGl);
    GetParam().call();
    EXPECT_EQ(gllog::stop(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Draw, PrimitiveCalls, ::testing::ValuesIn(kRows));

}  // namespace
