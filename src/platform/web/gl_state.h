// gl_state.h -- the browser GL's state machine: the GL 1.1 state WebGL does
// not keep (the two matrix stacks' tops, the current colour, texture
// coordinate and normal, texturing and texture-coordinate generation, the
// polygon mode, which textures are complete) and the immediate-mode quads
// gathered between glBegin and glEnd, turned into the draw the WebGL
// submitter (gl_webgl.cpp) hands over. For the state WebGL keeps itself it
// says whether a call goes through (never between glBegin and glEnd). Plain
// C++ over GL's enums: also built into the native tests.
#pragma once

#include <GL/gl.h>

#include <vector>

#include "platform/web/gl_matrix.h"

struct GlsVertex {
    float x, y, z, s, t, r, g, b, a;
};

struct GlsTexture {
    bool hasImage;
    bool mipmapFilter;  // the minifying filter wants mipmaps, which nothing uploads
};

struct GlState {
    GlMatrix modelview, projection;
    bool projectionCurrent;  // glMatrixMode: false for the modelview
    float color[4], texCoord[2];
    bool texture2d, genS, genT;
    GLenum genModeS, genModeT;
    GLenum polygonMode;  // the front faces' (the show sets both faces alike)
    bool insideBegin;
    GLenum primitive;  // inside glBegin: its mode
    std::vector<GlsVertex> vertices;
    GLuint boundTexture;
    std::vector<GlsTexture> textures;  // by texture name
    bool skipDrawing;
    int unsupportedPrimitives;  // glBegin calls of a mode other than GL_QUADS, drawn as nothing
};

// Texture-coordinate generation as the vertex shader takes it.
enum GlsGenerate : int { kGlsGenerateNone = 0, kGlsSphereMap, kGlsEyeLinear, kGlsObjectLinear };

// What glEnd hands the submitter: whole quads (an unfinished one is dropped),
// the matrices and eye-space normal to transform them by, and how to colour them.
struct GlsDraw {
    const GlsVertex *vertices;
    int quads;
    GlMatrix mvp, modelview;
    float normal[3];
    GlsGenerate genS, genT;  // none unless textured
    bool textured;           // GL_TEXTURE_2D on with a complete texture bound
    bool edges;              // line mode: each quad's edges
};

// GL's initial state.
void glsReset(GlState *state);
// The matrix calls on the current stack's top; nothing between glBegin and glEnd.
void glsMatrixMode(GlState *state, GLenum mode);
void glsLoadIdentity(GlState *state);
void glsTranslate(GlState *state, float x, float y, float z);
void glsRotate(GlState *state, float angle, float x, float y, float z);
void glsPerspective(GlState *state, double fovy, double aspect, double zNear, double zFar);
void glsColor(GlState *state, float r, float g, float b, float a);
void glsTexCoord(GlState *state, float s, float t);
void glsVertex(GlState *state, float x, float y, float z);
// Only GL_QUADS draws: another mode is a failure line (its first time) and
// counted in unsupportedPrimitives; its vertices are dropped.
void glsBegin(GlState *state, GLenum mode);
// True when the primitive leaves quads to draw, described in *draw until the
// next call changes the state.
bool glsEnd(GlState *state, GlsDraw *draw);
// glEnable and glDisable: texturing and generation are kept here; true when
// WebGL takes the cap itself (blending, depth test, ...).
bool glsCap(GlState *state, GLenum cap, bool on);
void glsTexGen(GlState *state, GLenum coord, GLenum name, GLint param);
void glsPolygonMode(GlState *state, GLenum face, GLenum mode);
// True when a call on WebGL's own state goes through (outside glBegin/glEnd).
bool glsPassesThrough(const GlState *state);
// glClear: also held back while drawing is skipped.
bool glsClears(const GlState *state);
// The texture calls, told what WebGL made or was given; each returns whether
// the call goes through.
void glsTexturesMade(GlState *state, GLsizei n, const GLuint *names);
bool glsBindTexture(GlState *state, GLenum target, GLuint name);
bool glsTexParameter(GlState *state, GLenum target, GLenum name, GLint value);
bool glsTexImage(GlState *state, GLenum target, GLint level, GLsizei width, GLsizei height);
// True when WebGL built the shader (GL_COMPILE_STATUS) or program
// (GL_LINK_STATUS), asked through getStatus; else a failure line, "cannot "
// what and the log getLog gives.
typedef void (*GlsStatusCall)(GLuint object, GLenum name, GLint *value);
typedef void (*GlsLogCall)(GLuint object, GLsizei size, GLsizei *length, GLchar *log);
bool glsBuilt(GLuint object, GLenum status, GlsStatusCall getStatus, GlsLogCall getLog, const char *what);
// The legacy component counts 3 and 4, and GL_RGB, as WebGL's format.
GLenum glsWebFormat(GLint internalFormat);
