// web_math_test.cpp -- the browser build's own GL and arithmetic against what
// they stand in for on Linux: its rand against glibc's; its GL state
// machine's matrices against Mesa's (offline GL), bit for bit, over the calls
// the show makes; and the draws it hands WebGL against the calls that made
// them.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/web/gl_matrix.h"
#include "platform/web/gl_state.h"
#include "platform/web/rand_glibc.h"
#include "support/test_support.h"

namespace {

TEST(WebRand, MatchesGlibcUnseededAndForEverySeed) {
    for (int i = 0; i < 1000; i++) ASSERT_EQ(glibcRand(), std::rand()) << "unseeded, value " << i;
    for (unsigned seed : {0u, 1u, 2u, 12345u, 1700000000u, 2147483648u, 4294967295u}) {
        std::srand(seed);
        glibcSrand(seed);
        for (int i = 0; i < 2000; i++) ASSERT_EQ(glibcRand(), std::rand()) << "seed " << seed << ", value " << i;
    }
}

void expectSameMatrix(GLenum which, const GlMatrix &ours, const char *what) {
    float mesa[16];
    glGetFloatv(which, mesa);
    for (int i = 0; i < 16; i++)
        ASSERT_EQ(std::memcmp(&mesa[i], &ours.m[i], sizeof(float)), 0)
            << what << ": element " << i << " Mesa " << mesa[i] << " ours " << ours.m[i];
}

TEST(WebGlMatrix, ProjectionAsMesaMakesIt) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    for (const double aspect : {640.0 / 480.0, 800.0 / 600.0, 1024.0 / 768.0, 1280.0 / 720.0}) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, aspect, 1.0, -2000.0);
        GlState ours;
        glsReset(&ours);
        glsMatrixMode(&ours, GL_PROJECTION);
        glsPerspective(&ours, 45.0, aspect, 1.0, -2000.0);
        expectSameMatrix(GL_PROJECTION_MATRIX, ours.projection, "gluPerspective");
    }
    glMatrixMode(GL_PROJECTION);  // undefined projections leave the matrix alone
    glLoadIdentity();
    gluPerspective(45.0, 0.0, 1.0, -2000.0);
    gluPerspective(45.0, 1.0, 5.0, 5.0);
    GlState identity;
    glsReset(&identity);
    glsMatrixMode(&identity, GL_PROJECTION);
    glsPerspective(&identity, 45.0, 0.0, 1.0, -2000.0);
    glsPerspective(&identity, 45.0, 1.0, 5.0, 5.0);
    expectSameMatrix(GL_PROJECTION_MATRIX, identity.projection, "undefined perspective");
}

// The show's modelview: identity, a translation, a rotation about one axis
// or about (1, 1, 1), over a sweep of angles and positions.
TEST(WebGlMatrix, ModelviewAsMesaMakesIt) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    glMatrixMode(GL_MODELVIEW);
    GlState ours;
    glsReset(&ours);
    glsMatrixMode(&ours, GL_PROJECTION);  // the projection left as it was: the modelview is current again
    glsMatrixMode(&ours, GL_MODELVIEW);
    const float axes[][3] = {{1, 1, 1}, {0, 0, 1},  {0, 0, -1},    {0, 1, 0}, {0, -1, 0},
                             {1, 0, 0}, {-1, 0, 0}, {0.3f, -2, 5}, {0, 0, 0}, {1e-5f, 0, 1e-5f}};
    for (int step = 0; step < 400; step++) {
        const float angle = -720.0f + step * 3.7f;
        const float x = step * 0.173f - 30.0f, y = 7.5f - step * 0.05f, z = -5.0f - step * 0.91f;
        for (const auto &axis : axes) {
            glLoadIdentity();
            glTranslatef(x, y, z);
            glRotatef(angle, axis[0], axis[1], axis[2]);
            glTranslatef(0.25f, -1.5f, 3.0f);
            glsLoadIdentity(&ours);
            glsTranslate(&ours, x, y, z);
            glsRotate(&ours, angle, axis[0], axis[1], axis[2]);
            glsTranslate(&ours, 0.25f, -1.5f, 3.0f);
            expectSameMatrix(GL_MODELVIEW_MATRIX, ours.modelview, "translate, rotate, translate");
        }
    }
}

void quad(GlState *gl, GLenum mode, float z) {
    glsBegin(gl, mode);
    for (int corner = 0; corner < 4; corner++) {
        glsColor(gl, 0.25f * corner, 0.5f, 1.0f, 0.9f);
        glsTexCoord(gl, corner & 1, corner >> 1);
        glsVertex(gl, (float)corner, -1.0f, z);
    }
}

// Each glEnd's whole quads, with the current colour and texture coordinate
// of each vertex, the product of the matrices, the normal through the
// modelview's inverse (a translation does not turn it; a quarter turn about y
// points it along x), texturing and generation only with a complete texture.
TEST(WebGlState, DrawsWhatTheCallsDescribe) {
    GlState gl;
    glsReset(&gl);
    glsMatrixMode(&gl, GL_PROJECTION);
    glsPerspective(&gl, 45.0, 4.0 / 3.0, 1.0, -2000.0);
    glsMatrixMode(&gl, GL_MODELVIEW);
    glsTranslate(&gl, 3, 4, -50);
    glsRotate(&gl, 90.0f, 0, 1, 0);
    EXPECT_TRUE(glsCap(&gl, GL_BLEND, true));  // WebGL's own state goes through; texturing stays here
    EXPECT_TRUE(glsCap(&gl, GL_DEPTH_TEST, false));
    EXPECT_FALSE(glsCap(&gl, GL_TEXTURE_2D, true));
    EXPECT_FALSE(glsCap(&gl, GL_TEXTURE_GEN_S, true));
    glsTexGen(&gl, GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    quad(&gl, GL_QUADS, -5.0f);
    glsVertex(&gl, 9, 9, 9);  // an unfinished fifth corner is dropped
    EXPECT_FALSE(glsPassesThrough(&gl));
    EXPECT_FALSE(glsCap(&gl, GL_BLEND, false));  // nothing but vertices between glBegin and glEnd
    glsMatrixMode(&gl, GL_PROJECTION);
    glsLoadIdentity(&gl);
    GlsDraw draw;
    ASSERT_TRUE(glsEnd(&gl, &draw));
    ASSERT_EQ(draw.quads, 1);
    EXPECT_EQ(draw.vertices[2].x, 2.0f);
    EXPECT_EQ(draw.vertices[2].r, 0.5f);
    EXPECT_EQ(draw.vertices[2].t, 1.0f);
    GlMatrix mvp;
    glmProduct(&mvp, gl.projection, gl.modelview);
    EXPECT_EQ(std::memcmp(mvp.m, draw.mvp.m, sizeof mvp.m), 0);
    EXPECT_NEAR(draw.normal[0], 1.0f, 1e-6);
    EXPECT_NEAR(draw.normal[2], 0.0f, 1e-6);
    EXPECT_FALSE(draw.textured);  // no texture bound: plain colour, nothing generated
    EXPECT_EQ(draw.genS, kGlsGenerateNone);
    EXPECT_FALSE(draw.edges);

    const GLuint names[] = {1, 2};
    glsTexturesMade(&gl, 2, names);
    EXPECT_TRUE(glsBindTexture(&gl, GL_TEXTURE_2D, 2));
    EXPECT_TRUE(glsTexImage(&gl, GL_TEXTURE_2D, 0, 8, 8));
    quad(&gl, GL_QUADS, 0.0f);
    ASSERT_TRUE(glsEnd(&gl, &draw));
    EXPECT_FALSE(draw.textured) << "the default filter wants mipmaps nothing uploads";
    glsTexParameter(&gl, GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glsPolygonMode(&gl, GL_FRONT_AND_BACK, GL_LINE);
    quad(&gl, GL_QUADS, 0.0f);
    ASSERT_TRUE(glsEnd(&gl, &draw));
    EXPECT_TRUE(draw.textured);
    EXPECT_EQ(draw.genS, kGlsSphereMap);
    EXPECT_EQ(draw.genT, kGlsGenerateNone);
    EXPECT_TRUE(draw.edges);

    gl.skipDrawing = true;  // frames nobody looks at: no draw, no clear
    quad(&gl, GL_QUADS, 0.0f);
    EXPECT_FALSE(glsEnd(&gl, &draw));
    EXPECT_FALSE(glsClears(&gl));
}

void built(GLuint, GLenum, GLint *value) { *value = GL_TRUE; }
void broken(GLuint, GLenum, GLint *value) { *value = GL_FALSE; }
void log(GLuint, GLsizei size, GLsizei *, GLchar *out) {
    std::snprintf(out, (size_t)size, "0:3: 'vec9' : no such type");
}

// The show draws only quads: any other primitive is said once on stderr,
// counted, and draws nothing; a shader that WebGL did not build is said with
// WebGL's log.
TEST(WebGlState, OtherPrimitivesAndUnbuiltShadersAreAFailureNotSilence) {
    GlState gl;
    glsReset(&gl);
    testing::internal::CaptureStderr();
    quad(&gl, GL_TRIANGLES, 0.0f);
    GlsDraw draw;
    EXPECT_FALSE(glsEnd(&gl, &draw));
    quad(&gl, GL_LINES, 0.0f);
    EXPECT_FALSE(glsEnd(&gl, &draw));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "kaveld: the browser's GL draws only GL_QUADS: glBegin(0x0004) and any like it draw nothing\n");
    EXPECT_EQ(gl.unsupportedPrimitives, 2);
    quad(&gl, GL_QUADS, 0.0f);
    EXPECT_TRUE(glsEnd(&gl, &draw));

    testing::internal::CaptureStderr();
    EXPECT_TRUE(glsBuilt(1, GL_COMPILE_STATUS, built, log, "compile its vertex shader"));
    EXPECT_FALSE(glsBuilt(1, GL_COMPILE_STATUS, broken, log, "compile its vertex shader"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "kaveld: the browser's GL cannot compile its vertex shader: 0:3: 'vec9' : no such type\n");
}

}  // namespace
