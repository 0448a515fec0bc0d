// mesh_draw_test.cpp -- meshes drawn on real Mesa GL (state left behind,
// colour alpha, the blended wireframe pass, the offset variant) and the
// morph's walk of every coordinate toward its target.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "draw/draw.h"
#include "support/gl_scene.h"

namespace {

constexpr int kW = 64, kH = 48;

// Face i of the slot as an axis-aligned square, corners counter-clockwise
// from bottom left, as the DXF loader stores them.
void setSquareFace(int slot, int i, float left, float bottom, float right, float top, float z) {
    MeshSlot &m = meshStore[slot];
    const float xs[4] = {left, right, right, left}, ys[4] = {bottom, bottom, top, top};
    for (int c = 0; c < 4; c++) {
        m.x[c][i] = xs[c];
        m.y[c][i] = ys[c];
        m.z[c][i] = z;
    }
}

void openOrthoView() {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));
    test::setOrtho(0, kW, 0, kH);
    test::makeWhiteTextures();
}

}  // namespace

TEST(DrawMesh, DrawsItsFacesInItsColourAndNoMore) {
    openOrthoView();
    meshStore[0].faceCount = 1;
    setSquareFace(0, 0, 4, 4, 14, 14, 0);
    setSquareFace(0, 1, 30, 20, 40, 30, 0);
    drawMesh(0, 1, 0.0f, kMeshTextured, 1.0f, 0.5f, 0.0f);  // unblended: alpha 0 does not matter
    test::Rgb c = test::readPixel(9, 9);
    EXPECT_EQ(c.r, 255);
    EXPECT_NEAR(c.g, 128, 1);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(test::readPixel(35, 25).r, 0);
}

// The morph scene's two passes: filled, then the wireframe blended at 0.9
// over it, touching only the edges.
TEST(DrawMesh, WireframePassIsBlendedAtItsAlpha) {
    openOrthoView();
    meshStore[1].faceCount = 1;
    setSquareFace(1, 0, 10, 10, 30, 30, 0);
    drawMesh(1, 7, 0.0f, kMeshTextured, 0.2f, 0.2f, 0.2f);
    setWireframe();
    drawMesh(1, 7, 0.9f, kMeshBlended, 1.0f, 1.0f, 1.0f);
    setFilled();
    EXPECT_NEAR(test::readPixel(20, 20).r, 51, 1);  // interior untouched by the lines
    EXPECT_EQ(test::readPixel(5, 20).r, 0);
    int edge = 0;
    for (int px = 8; px <= 12; px++) edge = std::max(edge, test::readPixel(px, 20).r);
    EXPECT_GE(edge, 228);  // 0.9 of white over black (229) or over the fill (234)
    EXPECT_LE(edge, 236);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST(DrawMeshOffset, ZeroOffsetRendersTheSameImageAsDrawMesh) {
    ASSERT_TRUE(test::openGlDisplay(kW, kH));  // the show's perspective
    test::makeTexture(1, 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
    MeshSlot &m = meshStore[0];
    m.faceCount = 3;
    for (int i = 0; i < 3; i++)
        for (int c = 0; c < 4; c++) {
            m.x[c][i] = -7.3f + 5.1f * i + 3.7f * (c == 1 || c == 2) + 0.3f * c;
            m.y[c][i] = -4.1f + 2.9f * i + 4.3f * (c >= 2) - 0.2f * c;
            m.z[c][i] = -20.0f - 3.3f * i + 1.7f * c;
        }
    drawMesh(0, 1, 0.0f, kMeshTextured, 0.9f, 0.8f, 0.7f);
    std::vector<unsigned char> plain = test::readFrame(kW, kH);
    clearFrame();
    drawMeshOffset(0, 1, 0.0f, kMeshTextured, 0.9f, 0.8f, 0.7f, 0.0f, 0.0f, 0.0f);
    std::vector<unsigned char> offset = test::readFrame(kW, kH);
    int lit = 0;
    for (size_t i = 0; i < plain.size(); i += 4) lit += plain[i] + plain[i + 1] + plain[i + 2] > 0;
    EXPECT_GT(lit, 100);
    EXPECT_EQ(offset, plain);
}

TEST(DrawMeshOffset, OffsetShiftsEveryCorner) {
    openOrthoView();
    meshStore[0].faceCount = 1;
    setSquareFace(0, 0, 4, 4, 14, 14, 0);
    drawMeshOffset(0, 1, 0.0f, kMeshTextured, 1.0f, 1.0f, 1.0f, 20.0f, 10.0f, -5.0f);
    EXPECT_EQ(test::readPixel(9, 9).r, 0);
    EXPECT_EQ(test::readPixel(24, 14).r, 255);
    EXPECT_EQ(test::readPixel(33, 23).r, 255);
    EXPECT_EQ(test::readPixel(34, 24).r, 0);
    EXPECT_NEAR(test::readDepth(29, 19), 0.5025f, 1e-4);  // z = -5 in a -1000..1000 view
}

// ---- morph

namespace {

// Sets all twelve coordinates of face i of both slots: the moving one at
// target + delta, the target at a spread of magnitudes.
const float kTargets[12] = {1.0f, -3.7f, 25.0f, 0.0f, -0.2f, 7.77f, 100.5f, -61.25f, 0.05f, 3.0f, -12.5f, 0.4f};
float *coordinate(MeshSlot &m, int k, int i) {
    float(*axes[3])[kMaxMeshFaces] = {m.x, m.y, m.z};
    return &axes[k % 3][k / 3][i];
}
void setMorphPair(int i, float delta) {
    for (int k = 0; k < 12; k++) {
        *coordinate(meshStore[4], k, i) = kTargets[k];
        *coordinate(meshStore[1], k, i) = kTargets[k] + delta;
    }
}

}  // namespace

struct MorphCase {
    const char *name;
    float delta;      // start relative to the target
    int callsToRest;  // calls before the coordinate comes to rest
    float restDelta;  // resting place relative to the target
};
void PrintTo(const MorphCase &c, std::ostream *os) { *os << c.name; }
class MorphWalk : public testing::TestWithParam<MorphCase> {};

TEST_P(MorphWalk, EveryCoordinateWalksToItsRestAndStays) {
    const MorphCase &c = GetParam();
    meshStore[1].faceCount = 1;
    meshStore[4].faceCount = 1;
    setMorphPair(0, c.delta);
    for (int call = 1; call <= c.callsToRest + 20; call++) {
        morphMeshToward(1, 4);
        for (int k = 0; k < 12; k++) {
            float b = kTargets[k];
            float a = *coordinate(meshStore[1], k, 0);
            float tolerance = 4e-7f * std::max(1.0f, std::fabs(b));
            if (call < c.callsToRest)
                EXPECT_GT(std::fabs(a - (b + c.restDelta)), 0.05f) << k << " call " << call;
            else
                EXPECT_NEAR(a, b + c.restDelta, tolerance) << k << " call " << call;
            EXPECT_EQ(*coordinate(meshStore[4], k, 0), b);  // the target is only read
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MorphWalk,
                         testing::Values(MorphCase{"ThirtyFiveHundredthsBelow", -0.35f, 3, -0.05f},
                                         MorphCase{"ThirtyFiveHundredthsAbove", 0.35f, 4, -0.05f},
                                         MorphCase{"FiveHundredthsBelow", -0.05f, 0, -0.05f},
                                         MorphCase{"OnTarget", 0.0f, 0, 0.0f}),
                         [](const testing::TestParamInfo<MorphCase> &info) { return info.param.name; });

TEST(MorphMeshToward, EqualCoordinatesStayExactly) {
    meshStore[1].faceCount = meshStore[4].faceCount = 1;
    setMorphPair(0, 0.0f);
    MeshSlot before = meshStore[1];
    for (int i = 0; i < 10; i++) morphMeshToward(1, 4);
    EXPECT_EQ(std::memcmp(&before, &meshStore[1], sizeof(MeshSlot)), 0);
}

struct FaceCountCase {
    const char *name;
    int movingFaces, targetFaces;
};
void PrintTo(const FaceCountCase &c, std::ostream *os) { *os << c.name; }
class MorphFaceCount : public testing::TestWithParam<FaceCountCase> {};

TEST_P(MorphFaceCount, OnlyTheTargetsFacesMove) {
    const FaceCountCase &c = GetParam();
    meshStore[1].faceCount = c.movingFaces;
    meshStore[4].faceCount = c.targetFaces;
    for (int i = 0; i < 6; i++) setMorphPair(i, 1.0f);
    MeshSlot before = meshStore[1];
    morphMeshToward(1, 4);
    EXPECT_EQ(meshStore[1].faceCount, c.movingFaces);
    EXPECT_EQ(meshStore[4].faceCount, c.targetFaces);
    for (int i = 0; i < 6; i++)
        for (int k = 0; k < 12; k++) {
            float was = *coordinate(before, k, i), now = *coordinate(meshStore[1], k, i);
            if (i < c.targetFaces)
                EXPECT_FLOAT_EQ(now, was - 0.1f) << "face " << i << " coordinate " << k;
            else
                EXPECT_EQ(now, was) << "face " << i << " coordinate " << k;
        }
}

INSTANTIATE_TEST_SUITE_P(Counts, MorphFaceCount,
                         testing::Values(FaceCountCase{"TargetHasFewer", 4, 2}, FaceCountCase{"TargetHasMore", 2, 5},
                                         FaceCountCase{"TargetEmpty", 4, 0}),
                         [](const testing::TestParamInfo<FaceCountCase> &info) { return info.param.name; });
