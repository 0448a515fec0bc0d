// gl_webgl.cpp -- the GL 1.1 subset the show calls, on WebGL 1: the two
// matrix stacks' tops (the show never pushes), immediate-mode quads
// gathered between glBegin and glEnd and drawn as one batch, texturing
// modulated by the current colour, texture-coordinate generation (sphere map,
// and the eye- and object-linear defaults) in the vertex shader from the
// current normal, line polygon mode drawn as each quad's edges (pulled a
// little towards the eye, as the desktop's line rasterizer shows them), and
// gluPerspective. State WebGL has itself (blending, depth, textures,
// clearing, viewport) goes straight through. Quads split into triangles
// (0 1 3) (1 2 3) and their edges run 0-1 3-0 1-2 2-3, as Mesa draws them.
#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "platform/web/gl_matrix.h"
#include "platform/web/gl_webgl.h"
#include "platform/web/webgl_calls.h"

namespace {

struct Vertex {
    float x, y, z, s, t, r, g, b, a;
};

struct TextureInfo {
    bool hasImage;
    bool mipmapFilter;  // the minifying filter wants mipmaps, which nothing uploads
};

// Owned by this file: the GL state WebGL does not keep.
GlMatrix modelview, projection;
GlMatrix *currentMatrix = &modelview;
float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float texCoord[2] = {0.0f, 0.0f};
bool texture2d = false, genS = false, genT = false;
GLenum genModeS = GL_EYE_LINEAR, genModeT = GL_EYE_LINEAR;
GLenum frontMode = GL_FILL, backMode = GL_FILL;
GLenum primitive = 0;  // inside glBegin: its mode
bool insideBegin = false;
std::vector<Vertex> vertices;
GLuint boundTexture = 0;
std::vector<TextureInfo> textures;  // by texture name
bool skipDrawing = false;
bool matricesReady = false;

// The WebGL objects of the current context, made on first use.
bool objectsReady = false;
GLuint program = 0, vertexBuffer = 0, triangleIndices = 0, edgeIndices = 0;
GLint uMvp, uMv, uNormal, uGenS, uGenT, uDepthPull, uTextured, uSampler;

const int kBatchQuads = 16384;  // quads per draw: 65536 vertices, the most 16-bit indices reach
// Line mode's edges drawn a little nearer than the faces they bound: a line's
// depth is interpolated along it, not taken from the face's plane as the
// face's own pixels are, so drawn over the same face at GL_LEQUAL half its
// pixels would lose to the face (the desktop's rasterizer draws them whole).
const float kEdgeDepthPull = 1.0f / 4096.0f;

const char kVertexShader[] = R"(
attribute vec3 aPos;
attribute vec2 aTex;
attribute vec4 aColor;
uniform mat4 uMvp, uMv;
uniform vec3 uNormal;
uniform int uGenS, uGenT;  // 0 none, 1 sphere map, 2 eye linear, 3 object linear
uniform float uDepthPull;  // towards the eye, in depth range units (the edges of line mode)
varying vec2 vTex;
varying vec4 vColor;
float generate(int mode, float given, float sphere, float eye, float object) {
    if (mode == 1) return sphere;
    if (mode == 2) return eye;
    if (mode == 3) return object;
    return given;
}
void main() {
    vec4 object = vec4(aPos, 1.0);
    gl_Position = uMvp * object;
    gl_Position.z -= uDepthPull * gl_Position.w;
    vec4 eye = uMv * object;
    vec3 u = eye.xyz * inversesqrt(dot(eye.xyz, eye.xyz));
    float nu = dot(uNormal, u);
    nu = nu + nu;
    vec3 r = u - nu * uNormal;
    vec3 q = r + vec3(0.0, 0.0, 1.0);
    vec2 sphere = r.xy * (inversesqrt(dot(q, q)) * 0.5) + 0.5;
    vTex = vec2(generate(uGenS, aTex.x, sphere.x, eye.x, aPos.x), generate(uGenT, aTex.y, sphere.y, eye.y, aPos.y));
    vColor = clamp(aColor, 0.0, 1.0);
}
)";

const char kFragmentShader[] = R"(
precision highp float;
uniform bool uTextured;
uniform sampler2D uSampler;
varying vec2 vTex;
varying vec4 vColor;
void main() {
    gl_FragColor = uTextured ? vColor * texture2D(uSampler, vTex) : vColor;
}
)";

void ensureMatrices() {
    if (matricesReady) return;
    glmIdentity(&modelview);
    glmIdentity(&projection);
    matricesReady = true;
}

GLuint compile(GLenum type, const char *source) {
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

// Index buffers for a full batch: triangles (0 1 3) (1 2 3) and edges 0-1 3-0 1-2 2-3 per quad.
void makeIndexBuffers() {
    std::vector<unsigned short> triangles(kBatchQuads * 6), edges(kBatchQuads * 8);
    for (int q = 0; q < kBatchQuads; q++) {
        const unsigned short v = (unsigned short)(q * 4);
        const unsigned short tri[6] = {v,
                                       (unsigned short)(v + 1),
                                       (unsigned short)(v + 3),
                                       (unsigned short)(v + 1),
                                       (unsigned short)(v + 2),
                                       (unsigned short)(v + 3)};
        const unsigned short edge[8] = {v,
                                        (unsigned short)(v + 1),
                                        (unsigned short)(v + 3),
                                        v,
                                        (unsigned short)(v + 1),
                                        (unsigned short)(v + 2),
                                        (unsigned short)(v + 2),
                                        (unsigned short)(v + 3)};
        for (int i = 0; i < 6; i++) triangles[q * 6 + i] = tri[i];
        for (int i = 0; i < 8; i++) edges[q * 8 + i] = edge[i];
    }
    emscripten_glGenBuffers(1, &triangleIndices);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, triangleIndices);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, triangles.size() * 2, triangles.data(), GL_STATIC_DRAW);
    emscripten_glGenBuffers(1, &edgeIndices);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edgeIndices);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER, edges.size() * 2, edges.data(), GL_STATIC_DRAW);
}

void makeObjects() {
    program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, compile(GL_VERTEX_SHADER, kVertexShader));
    emscripten_glAttachShader(program, compile(GL_FRAGMENT_SHADER, kFragmentShader));
    emscripten_glBindAttribLocation(program, 0, "aPos");
    emscripten_glBindAttribLocation(program, 1, "aTex");
    emscripten_glBindAttribLocation(program, 2, "aColor");
    emscripten_glLinkProgram(program);
    emscripten_glUseProgram(program);
    uMvp = emscripten_glGetUniformLocation(program, "uMvp");
    uMv = emscripten_glGetUniformLocation(program, "uMv");
    uNormal = emscripten_glGetUniformLocation(program, "uNormal");
    uGenS = emscripten_glGetUniformLocation(program, "uGenS");
    uGenT = emscripten_glGetUniformLocation(program, "uGenT");
    uDepthPull = emscripten_glGetUniformLocation(program, "uDepthPull");
    uTextured = emscripten_glGetUniformLocation(program, "uTextured");
    uSampler = emscripten_glGetUniformLocation(program, "uSampler");
    emscripten_glUniform1i(uSampler, 0);
    emscripten_glGenBuffers(1, &vertexBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    const GLsizei stride = sizeof(Vertex);
    emscripten_glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, (const void *)0);
    emscripten_glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, (const void *)(3 * sizeof(float)));
    emscripten_glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, (const void *)(5 * sizeof(float)));
    for (GLuint i = 0; i < 3; i++) emscripten_glEnableVertexAttribArray(i);
    makeIndexBuffers();
    objectsReady = true;
}

int genUniform(bool enabled, GLenum mode) {
    if (!enabled) return 0;
    return mode == GL_SPHERE_MAP ? 1 : mode == GL_EYE_LINEAR ? 2 : 3;
}

// A texture GL would sample: bound, with an image, and a filter that needs no mipmaps.
bool textureComplete() {
    if (boundTexture == 0 || boundTexture >= textures.size()) return false;
    const TextureInfo &info = textures[boundTexture];
    return info.hasImage && !info.mipmapFilter;
}

void setUniforms() {
    GlMatrix mvp;
    glmProduct(&mvp, projection, modelview);
    float normal[3];
    glmEyeNormal(modelview, normal);
    emscripten_glUniformMatrix4fv(uMvp, 1, GL_FALSE, mvp.m);
    emscripten_glUniformMatrix4fv(uMv, 1, GL_FALSE, modelview.m);
    emscripten_glUniform3f(uNormal, normal[0], normal[1], normal[2]);
    const bool textured = texture2d && textureComplete();
    emscripten_glUniform1i(uGenS, textured ? genUniform(genS, genModeS) : 0);
    emscripten_glUniform1i(uGenT, textured ? genUniform(genT, genModeT) : 0);
    emscripten_glUniform1i(uTextured, textured ? 1 : 0);
}

// One batch of whole quads; filled or as edges. A front and back mode that
// differ draw in the front's mode (the show sets both alike).
void drawQuads(const Vertex *first, int quads) {
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, quads * 4 * sizeof(Vertex), first, GL_STREAM_DRAW);
    const bool edges = frontMode == GL_LINE;
    emscripten_glUniform1f(uDepthPull, edges ? kEdgeDepthPull : 0.0f);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edges ? edgeIndices : triangleIndices);
    emscripten_glDrawElements(edges ? GL_LINES : GL_TRIANGLES, quads * (edges ? 8 : 6), GL_UNSIGNED_SHORT, nullptr);
}

void flushQuads() {
    const int quads = (int)(vertices.size() / 4);  // an unfinished quad is not drawn
    if (quads == 0 || skipDrawing) return;
    if (!objectsReady) makeObjects();
    emscripten_glUseProgram(program);
    setUniforms();
    for (int done = 0; done < quads; done += kBatchQuads)
        drawQuads(&vertices[done * 4], quads - done < kBatchQuads ? quads - done : kBatchQuads);
}

bool fixedFunctionCap(GLenum cap, bool on) {
    switch (cap) {
    case GL_TEXTURE_2D: texture2d = on; return true;
    case GL_TEXTURE_GEN_S: genS = on; return true;
    case GL_TEXTURE_GEN_T: genT = on; return true;
    default: return false;
    }
}

}  // namespace

void glwebContextChanged() { objectsReady = false; }

void glwebSkipDrawing(bool skip) { skipDrawing = skip; }

extern "C" {

void glMatrixMode(GLenum mode) {
    ensureMatrices();
    if (insideBegin) return;
    if (mode == GL_MODELVIEW) currentMatrix = &modelview;
    if (mode == GL_PROJECTION) currentMatrix = &projection;
}

void glLoadIdentity() {
    ensureMatrices();
    if (!insideBegin) glmIdentity(currentMatrix);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    ensureMatrices();
    if (!insideBegin) glmTranslate(currentMatrix, x, y, z);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    ensureMatrices();
    if (!insideBegin) glmRotate(currentMatrix, angle, x, y, z);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    ensureMatrices();
    if (!insideBegin) glmPerspective(currentMatrix, fovy, aspect, zNear, zFar);
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { color[0] = r, color[1] = g, color[2] = b, color[3] = a; }

void glTexCoord2f(GLfloat s, GLfloat t) { texCoord[0] = s, texCoord[1] = t; }

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (insideBegin && primitive == GL_QUADS)
        vertices.push_back(Vertex{x, y, z, texCoord[0], texCoord[1], color[0], color[1], color[2], color[3]});
}

void glBegin(GLenum mode) {
    if (insideBegin) return;
    ensureMatrices();
    insideBegin = true;
    primitive = mode;  // only GL_QUADS draws anything
    vertices.clear();
}

void glEnd() {
    if (!insideBegin) return;
    insideBegin = false;
    flushQuads();
    vertices.clear();
}

void glEnable(GLenum cap) {
    if (!insideBegin && !fixedFunctionCap(cap, true)) emscripten_glEnable(cap);
}

void glDisable(GLenum cap) {
    if (!insideBegin && !fixedFunctionCap(cap, false)) emscripten_glDisable(cap);
}

void glTexGeni(GLenum coord, GLenum name, GLint param) {
    const bool known = param == GL_SPHERE_MAP || param == GL_EYE_LINEAR || param == GL_OBJECT_LINEAR;
    if (insideBegin || name != GL_TEXTURE_GEN_MODE || !known) return;
    if (coord == GL_S) genModeS = (GLenum)param;
    if (coord == GL_T) genModeT = (GLenum)param;
}

void glPolygonMode(GLenum face, GLenum mode) {
    if (insideBegin || (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT)) return;
    if (face == GL_FRONT || face == GL_FRONT_AND_BACK) frontMode = mode;
    if (face == GL_BACK || face == GL_FRONT_AND_BACK) backMode = mode;
}

// The browser renders the frame as it composites the page: nothing to wait for.
void glFinish() {}

void glShadeModel(GLenum) {}  // smooth is all WebGL does; the show asks for nothing else

void glHint(GLenum, GLenum) {}  // WebGL interpolates with perspective, as GL_NICEST asks

void glGenTextures(GLsizei n, GLuint *names) {
    if (insideBegin) return;
    emscripten_glGenTextures(n, names);
    for (GLsizei i = 0; i < n; i++) {
        if (names[i] >= textures.size()) textures.resize(names[i] + 1);
        textures[names[i]] = TextureInfo{false, true};
    }
}

void glBindTexture(GLenum target, GLuint name) {
    if (insideBegin) return;
    emscripten_glBindTexture(target, name);
    if (target == GL_TEXTURE_2D) boundTexture = name;
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (insideBegin) return;
    emscripten_glTexParameteri(target, name, value);
    if (target == GL_TEXTURE_2D && name == GL_TEXTURE_MIN_FILTER && boundTexture < textures.size())
        textures[boundTexture].mipmapFilter = value != GL_NEAREST && value != GL_LINEAR;
}

// Only RGB and RGBA bytes; the legacy component counts 3 and 4 name them.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void *pixels) {
    if (insideBegin) return;
    GLenum webFormat = internalFormat == 3 || internalFormat == GL_RGB ? GL_RGB : GL_RGBA;
    emscripten_glTexImage2D(target, level, webFormat, width, height, border, format, type, pixels);
    if (target == GL_TEXTURE_2D && level == 0 && boundTexture < textures.size())
        textures[boundTexture].hasImage = width > 0 && height > 0;
}

void glClear(GLbitfield mask) {
    if (!insideBegin && !skipDrawing) emscripten_glClear(mask);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    if (!insideBegin) emscripten_glClearColor(r, g, b, a);
}

void glClearDepth(GLclampd depth) {
    if (!insideBegin) emscripten_glClearDepthf((GLfloat)depth);
}

void glDepthFunc(GLenum func) {
    if (!insideBegin) emscripten_glDepthFunc(func);
}

void glBlendFunc(GLenum source, GLenum destination) {
    if (!insideBegin) emscripten_glBlendFunc(source, destination);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (!insideBegin) emscripten_glViewport(x, y, width, height);
}

}  // extern "C"
