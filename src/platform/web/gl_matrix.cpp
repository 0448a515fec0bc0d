// gl_matrix.cpp -- matrices for the browser's GL, in Mesa's order of
// operations: products summed left to right in single precision, translation
// folded into the last column, axis rotations built directly, sines and
// cosines of the angle rounded to single precision (see gl_matrix.h).
#include "platform/web/gl_matrix.h"

#include <cmath>

namespace {

float &at(GlMatrix *matrix, int row, int column) { return matrix->m[column * 4 + row]; }
float at(const GlMatrix &matrix, int row, int column) { return matrix.m[column * 4 + row]; }

// The rotation part for an axis with two zero components; false for any other axis.
bool axisRotation(GlMatrix *r, float s, float c, float x, float y, float z) {
    int a, b;  // the plane the rotation turns: a toward b for a positive axis
    float sign;
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        a = 0, b = 1, sign = z < 0.0f ? -1.0f : 1.0f;
    } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
        a = 2, b = 0, sign = y < 0.0f ? -1.0f : 1.0f;
    } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
        a = 1, b = 2, sign = x < 0.0f ? -1.0f : 1.0f;
    } else {
        return false;
    }
    at(r, a, a) = c;
    at(r, b, b) = c;
    at(r, a, b) = sign < 0.0f ? s : -s;
    at(r, b, a) = sign < 0.0f ? -s : s;
    return true;
}

}  // namespace

void glmIdentity(GlMatrix *matrix) {
    for (int i = 0; i < 16; i++) matrix->m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void glmProduct(GlMatrix *out, const GlMatrix &a, const GlMatrix &b) {
    GlMatrix p;
    for (int i = 0; i < 4; i++) {
        const float ai0 = at(a, i, 0), ai1 = at(a, i, 1), ai2 = at(a, i, 2), ai3 = at(a, i, 3);
        for (int j = 0; j < 4; j++)
            at(&p, i, j) = ai0 * at(b, 0, j) + ai1 * at(b, 1, j) + ai2 * at(b, 2, j) + ai3 * at(b, 3, j);
    }
    *out = p;
}

void glmMultiply(GlMatrix *matrix, const GlMatrix &right) { glmProduct(matrix, *matrix, right); }

void glmTranslate(GlMatrix *matrix, float x, float y, float z) {
    float *m = matrix->m;
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void glmRotate(GlMatrix *matrix, float angle, float x, float y, float z) {
    const float radians = (float)(angle * M_PI / 180.0);
    const float s = std::sin(radians), c = std::cos(radians);
    GlMatrix r;
    glmIdentity(&r);
    if (!axisRotation(&r, s, c, x, y, z)) {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length <= 1.0e-4f) return;
        x /= length, y /= length, z /= length;
        const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s, oneC = 1.0f - c;
        at(&r, 0, 0) = (oneC * xx) + c;
        at(&r, 0, 1) = (oneC * xy) - zs;
        at(&r, 0, 2) = (oneC * zx) + ys;
        at(&r, 1, 0) = (oneC * xy) + zs;
        at(&r, 1, 1) = (oneC * yy) + c;
        at(&r, 1, 2) = (oneC * yz) - xs;
        at(&r, 2, 0) = (oneC * zx) - ys;
        at(&r, 2, 1) = (oneC * yz) + xs;
        at(&r, 2, 2) = (oneC * zz) + c;
    }
    glmMultiply(matrix, r);
}

void glmPerspective(GlMatrix *matrix, double fovy, double aspect, double zNear, double zFar) {
    const double radians = fovy / 2 * M_PI / 180;
    const double depth = zFar - zNear, sine = std::sin(radians);
    if (depth == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    GlMatrix p;
    glmIdentity(&p);
    at(&p, 0, 0) = (float)(cotangent / aspect);
    at(&p, 1, 1) = (float)cotangent;
    at(&p, 2, 2) = (float)(-(zFar + zNear) / depth);
    at(&p, 3, 2) = -1.0f;
    at(&p, 2, 3) = (float)(-2 * zNear * zFar / depth);
    at(&p, 3, 3) = 0.0f;
    glmMultiply(matrix, p);
}

// Row 2 of the inverse of the upper 3x3: the cofactors of column 2 over the determinant.
void glmEyeNormal(const GlMatrix &mv, float out[3]) {
    const float a = at(mv, 0, 0), b = at(mv, 0, 1), c = at(mv, 0, 2);
    const float d = at(mv, 1, 0), e = at(mv, 1, 1), f = at(mv, 1, 2);
    const float g = at(mv, 2, 0), h = at(mv, 2, 1), i = at(mv, 2, 2);
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (det == 0.0f) {
        out[0] = out[1] = out[2] = 0.0f;
        return;
    }
    out[0] = (d * h - e * g) / det;
    out[1] = -(a * h - b * g) / det;
    out[2] = (a * e - b * d) / det;
}
