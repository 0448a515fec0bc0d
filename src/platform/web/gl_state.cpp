// gl_state.cpp -- the browser GL's state machine (see gl_state.h): GL 1.1's
// rules for the state WebGL does not keep, and the quads of each glBegin and
// glEnd as one draw. Quads split into triangles and edges in the submitter.
#include "platform/web/gl_state.h"

#include "platform/platform.h"

namespace {

GlMatrix *currentMatrix(GlState *state) { return state->projectionCurrent ? &state->projection : &state->modelview; }

GlsGenerate generation(bool enabled, GLenum mode) {
    if (!enabled) return kGlsGenerateNone;
    return mode == GL_SPHERE_MAP ? kGlsSphereMap : mode == GL_EYE_LINEAR ? kGlsEyeLinear : kGlsObjectLinear;
}

// A texture GL would sample: bound, with an image, and a filter that needs no mipmaps.
bool textureComplete(const GlState *state) {
    if (state->boundTexture == 0 || state->boundTexture >= state->textures.size()) return false;
    const GlsTexture &texture = state->textures[state->boundTexture];
    return texture.hasImage && !texture.mipmapFilter;
}

GlsTexture *boundTexture2d(GlState *state, GLenum target) {
    if (target != GL_TEXTURE_2D || state->boundTexture >= state->textures.size()) return nullptr;
    return &state->textures[state->boundTexture];
}

}  // namespace

void glsReset(GlState *state) {
    *state = GlState{};
    glmIdentity(&state->modelview);
    glmIdentity(&state->projection);
    for (float &c : state->color) c = 1.0f;
    state->genModeS = state->genModeT = GL_EYE_LINEAR;
    state->polygonMode = GL_FILL;
}

void glsMatrixMode(GlState *state, GLenum mode) {
    if (state->insideBegin) return;
    if (mode == GL_MODELVIEW) state->projectionCurrent = false;
    if (mode == GL_PROJECTION) state->projectionCurrent = true;
}

void glsLoadIdentity(GlState *state) {
    if (!state->insideBegin) glmIdentity(currentMatrix(state));
}

void glsTranslate(GlState *state, float x, float y, float z) {
    if (!state->insideBegin) glmTranslate(currentMatrix(state), x, y, z);
}

void glsRotate(GlState *state, float angle, float x, float y, float z) {
    if (!state->insideBegin) glmRotate(currentMatrix(state), angle, x, y, z);
}

void glsPerspective(GlState *state, double fovy, double aspect, double zNear, double zFar) {
    if (!state->insideBegin) glmPerspective(currentMatrix(state), fovy, aspect, zNear, zFar);
}

void glsColor(GlState *state, float r, float g, float b, float a) {
    state->color[0] = r, state->color[1] = g, state->color[2] = b, state->color[3] = a;
}

void glsTexCoord(GlState *state, float s, float t) { state->texCoord[0] = s, state->texCoord[1] = t; }

void glsVertex(GlState *state, float x, float y, float z) {
    if (!state->insideBegin || state->primitive != GL_QUADS) return;
    const float *c = state->color;
    state->vertices.push_back(GlsVertex{x, y, z, state->texCoord[0], state->texCoord[1], c[0], c[1], c[2], c[3]});
}

void glsBegin(GlState *state, GLenum mode) {
    if (state->insideBegin) return;
    state->insideBegin = true;
    state->primitive = mode;
    state->vertices.clear();
    if (mode == GL_QUADS) return;
    if (state->unsupportedPrimitives++ == 0)
        Sys_ReportFailure("the browser's GL draws only GL_QUADS: glBegin(0x%04x) and any like it draw nothing",
                          (unsigned)mode);
}

bool glsEnd(GlState *state, GlsDraw *draw) {
    if (!state->insideBegin) return false;
    state->insideBegin = false;
    const int quads = (int)(state->vertices.size() / 4);
    if (quads == 0 || state->skipDrawing) return false;
    draw->vertices = state->vertices.data();
    draw->quads = quads;
    glmProduct(&draw->mvp, state->projection, state->modelview);
    draw->modelview = state->modelview;
    glmEyeNormal(state->modelview, draw->normal);
    draw->textured = state->texture2d && textureComplete(state);
    draw->genS = draw->textured ? generation(state->genS, state->genModeS) : kGlsGenerateNone;
    draw->genT = draw->textured ? generation(state->genT, state->genModeT) : kGlsGenerateNone;
    draw->edges = state->polygonMode == GL_LINE;
    return true;
}

bool glsCap(GlState *state, GLenum cap, bool on) {
    if (state->insideBegin) return false;
    switch (cap) {
    case GL_TEXTURE_2D: state->texture2d = on; return false;
    case GL_TEXTURE_GEN_S: state->genS = on; return false;
    case GL_TEXTURE_GEN_T: state->genT = on; return false;
    default: return true;
    }
}

void glsTexGen(GlState *state, GLenum coord, GLenum name, GLint param) {
    const bool known = param == GL_SPHERE_MAP || param == GL_EYE_LINEAR || param == GL_OBJECT_LINEAR;
    if (state->insideBegin || name != GL_TEXTURE_GEN_MODE || !known) return;
    if (coord == GL_S) state->genModeS = (GLenum)param;
    if (coord == GL_T) state->genModeT = (GLenum)param;
}

void glsPolygonMode(GlState *state, GLenum face, GLenum mode) {
    if (state->insideBegin || (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT)) return;
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) state->polygonMode = mode;
}

bool glsPassesThrough(const GlState *state) { return !state->insideBegin; }

bool glsClears(const GlState *state) { return !state->insideBegin && !state->skipDrawing; }

void glsTexturesMade(GlState *state, GLsizei n, const GLuint *names) {
    for (GLsizei i = 0; i < n; i++) {
        if (names[i] >= state->textures.size()) state->textures.resize(names[i] + 1);
        state->textures[names[i]] = GlsTexture{false, true};
    }
}

bool glsBindTexture(GlState *state, GLenum target, GLuint name) {
    if (state->insideBegin) return false;
    if (target == GL_TEXTURE_2D) state->boundTexture = name;
    return true;
}

bool glsTexParameter(GlState *state, GLenum target, GLenum name, GLint value) {
    if (state->insideBegin) return false;
    GlsTexture *texture = boundTexture2d(state, target);
    if (texture && name == GL_TEXTURE_MIN_FILTER) texture->mipmapFilter = value != GL_NEAREST && value != GL_LINEAR;
    return true;
}

bool glsTexImage(GlState *state, GLenum target, GLint level, GLsizei width, GLsizei height) {
    if (state->insideBegin) return false;
    GlsTexture *texture = boundTexture2d(state, target);
    if (texture && level == 0) texture->hasImage = width > 0 && height > 0;
    return true;
}

GLenum glsWebFormat(GLint internalFormat) { return internalFormat == 3 || internalFormat == GL_RGB ? GL_RGB : GL_RGBA; }

bool glsBuilt(GLuint object, GLenum status, GlsStatusCall getStatus, GlsLogCall getLog, const char *what) {
    GLint done = GL_FALSE;
    getStatus(object, status, &done);
    if (done) return true;
    char log[512] = "";
    getLog(object, sizeof log, nullptr, log);
    Sys_ReportFailure("the browser's GL cannot %s: %s", what, log);
    return false;
}
