// web_math_test.cpp -- the browser build's own arithmetic against what it
// stands in for on Linux: its rand against glibc's, and its GL matrices
// against Mesa's (offline GL), bit for bit, over the calls the show makes.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/web/gl_matrix.h"
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
        GlMatrix ours;
        glmIdentity(&ours);
        glmPerspective(&ours, 45.0, aspect, 1.0, -2000.0);
        expectSameMatrix(GL_PROJECTION_MATRIX, ours, "gluPerspective");
    }
    glMatrixMode(GL_PROJECTION);  // undefined projections leave the matrix alone
    glLoadIdentity();
    gluPerspective(45.0, 0.0, 1.0, -2000.0);
    gluPerspective(45.0, 1.0, 5.0, 5.0);
    GlMatrix identity;
    glmIdentity(&identity);
    glmPerspective(&identity, 45.0, 0.0, 1.0, -2000.0);
    glmPerspective(&identity, 45.0, 1.0, 5.0, 5.0);
    expectSameMatrix(GL_PROJECTION_MATRIX, identity, "undefined perspective");
}

// The show's modelview: identity, a translation, a rotation about one axis
// or about (1, 1, 1), over a sweep of angles and positions.
TEST(WebGlMatrix, ModelviewAsMesaMakesIt) {
    ASSERT_TRUE(test::openGlDisplay(64, 48));
    glMatrixMode(GL_MODELVIEW);
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
            GlMatrix ours;
            glmIdentity(&ours);
            glmTranslate(&ours, x, y, z);
            glmRotate(&ours, angle, axis[0], axis[1], axis[2]);
            glmTranslate(&ours, 0.25f, -1.5f, 3.0f);
            expectSameMatrix(GL_MODELVIEW_MATRIX, ours, "translate, rotate, translate");
        }
    }
}

TEST(WebGlMatrix, EyeNormalIsTheNormalThroughTheInverse) {
    GlMatrix mv;
    glmIdentity(&mv);
    float n[3];
    glmEyeNormal(mv, n);
    EXPECT_EQ(n[0], 0.0f);
    EXPECT_EQ(n[1], 0.0f);
    EXPECT_EQ(n[2], 1.0f);
    glmTranslate(&mv, 3, 4, -50);  // a translation does not turn normals
    glmRotate(&mv, 90.0f, 0, 1, 0);
    glmEyeNormal(mv, n);  // the z axis turned a quarter about y points along x
    EXPECT_NEAR(n[0], 1.0f, 1e-6);
    EXPECT_NEAR(n[1], 0.0f, 1e-6);
    EXPECT_NEAR(n[2], 0.0f, 1e-6);
}

}  // namespace
