// gl_matrix.h -- the matrix arithmetic of the browser's GL: 4x4 column-major
// single-precision matrices built and multiplied in the same order of
// operations as Mesa, so the browser transforms vertices with the very
// matrices the Linux build does. Plain C++: also built into the native tests.
#pragma once

struct GlMatrix {
    float m[16];  // column-major: element (row r, column c) is m[c * 4 + r]
};

void glmIdentity(GlMatrix *matrix);
// *matrix = *matrix x right.
void glmMultiply(GlMatrix *matrix, const GlMatrix &right);
// *out = left x right.
void glmProduct(GlMatrix *out, const GlMatrix &left, const GlMatrix &right);
void glmTranslate(GlMatrix *matrix, float x, float y, float z);
// Rotation by angle degrees about (x, y, z); no change for an axis shorter than 1e-4.
void glmRotate(GlMatrix *matrix, float angle, float x, float y, float z);
// Multiplies by the perspective projection gluPerspective describes: nothing
// when the field of view, the aspect or the depth span makes it undefined.
void glmPerspective(GlMatrix *matrix, double fovyDegrees, double aspect, double zNear, double zFar);
// The current normal (0, 0, 1) in eye space: its row times the inverse of the
// upper 3x3 (not normalised), as fixed-function GL transforms normals.
void glmEyeNormal(const GlMatrix &modelview, float out[3]);
