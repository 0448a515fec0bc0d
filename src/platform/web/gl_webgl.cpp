// gl_webgl.cpp -- the GL 1.1 subset the show calls, on WebGL 1: each call
// goes to the state machine (gl_state.cpp), and what it passes on goes to
// WebGL here. Each glEnd's quads are drawn as one batch: texturing modulated
// by the current colour, texture-coordinate generation (sphere map, and the
// eye- and object-linear defaults) in the vertex shader from the current
// normal, line polygon mode drawn as each quad's edges (pulled a little
// towards the eye, as the desktop's line rasterizer shows them). Quads split
// into triangles (0 1 3) (1 2 3) and their edges run 0-1 3-0 1-2 2-3, as Mesa
// draws them. Shaders that do not compile or link are a failure line, and
// nothing is drawn.
#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "platform/platform.h"
#include "platform/web/gl_state.h"
#include "platform/web/gl_webgl.h"
#include "platform/web/webgl_calls.h"

namespace {

// Owned by the GL calls below: the state WebGL does not keep.
GlState gl;
struct Reset {
    Reset() { glsReset(&gl); }
} resetAtStart;

// The WebGL objects of the current context, made on first use; objectsFailed
// when its shaders did not build (said once; nothing is drawn).
bool objectsReady = false, objectsFailed = false;
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

GLuint compile(GLenum type, const char *source) {
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    const char *what = type == GL_VERTEX_SHADER ? "compile its vertex shader" : "compile its fragment shader";
    return glsBuilt(shader, GL_COMPILE_STATUS, emscripten_glGetShaderiv, emscripten_glGetShaderInfoLog, what) ? shader
                                                                                                              : 0;
}

bool linkProgram() {
    GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader), fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vertex || !fragment) return false;
    program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program, vertex);
    emscripten_glAttachShader(program, fragment);
    emscripten_glBindAttribLocation(program, 0, "aPos");
    emscripten_glBindAttribLocation(program, 1, "aTex");
    emscripten_glBindAttribLocation(program, 2, "aColor");
    emscripten_glLinkProgram(program);
    return glsBuilt(program, GL_LINK_STATUS, emscripten_glGetProgramiv, emscripten_glGetProgramInfoLog,
                    "link its shaders");
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

// False (said once) when the shaders do not build.
bool makeObjects() {
    if (objectsFailed) return false;
    if (!linkProgram()) {
        objectsFailed = true;
        return false;
    }
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
    const GLsizei stride = sizeof(GlsVertex);
    emscripten_glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, (const void *)0);
    emscripten_glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, (const void *)(3 * sizeof(float)));
    emscripten_glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, (const void *)(5 * sizeof(float)));
    for (GLuint i = 0; i < 3; i++) emscripten_glEnableVertexAttribArray(i);
    makeIndexBuffers();
    objectsReady = true;
    return true;
}

void setUniforms(const GlsDraw &draw) {
    emscripten_glUniformMatrix4fv(uMvp, 1, GL_FALSE, draw.mvp.m);
    emscripten_glUniformMatrix4fv(uMv, 1, GL_FALSE, draw.modelview.m);
    emscripten_glUniform3f(uNormal, draw.normal[0], draw.normal[1], draw.normal[2]);
    emscripten_glUniform1i(uGenS, draw.genS);
    emscripten_glUniform1i(uGenT, draw.genT);
    emscripten_glUniform1i(uTextured, draw.textured ? 1 : 0);
}

// One batch of whole quads; filled or as edges.
void drawQuads(const GlsVertex *first, int quads, bool edges) {
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, quads * 4 * sizeof(GlsVertex), first, GL_STREAM_DRAW);
    emscripten_glUniform1f(uDepthPull, edges ? kEdgeDepthPull : 0.0f);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edges ? edgeIndices : triangleIndices);
    emscripten_glDrawElements(edges ? GL_LINES : GL_TRIANGLES, quads * (edges ? 8 : 6), GL_UNSIGNED_SHORT, nullptr);
}

void submit(const GlsDraw &draw) {
    if (!objectsReady && !makeObjects()) return;
    emscripten_glUseProgram(program);
    setUniforms(draw);
    for (int done = 0; done < draw.quads; done += kBatchQuads)
        drawQuads(draw.vertices + done * 4, draw.quads - done < kBatchQuads ? draw.quads - done : kBatchQuads,
                  draw.edges);
}

}  // namespace

void glwebContextChanged() { objectsReady = false; }

void glwebSkipDrawing(bool skip) { gl.skipDrawing = skip; }

extern "C" {

void glMatrixMode(GLenum mode) { glsMatrixMode(&gl, mode); }
void glLoadIdentity() { glsLoadIdentity(&gl); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { glsTranslate(&gl, x, y, z); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { glsRotate(&gl, angle, x, y, z); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    glsPerspective(&gl, fovy, aspect, zNear, zFar);
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { glsColor(&gl, r, g, b, a); }
void glTexCoord2f(GLfloat s, GLfloat t) { glsTexCoord(&gl, s, t); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { glsVertex(&gl, x, y, z); }
void glBegin(GLenum mode) { glsBegin(&gl, mode); }

void glEnd() {
    GlsDraw draw;
    if (glsEnd(&gl, &draw)) submit(draw);
}

void glEnable(GLenum cap) {
    if (glsCap(&gl, cap, true)) emscripten_glEnable(cap);
}

void glDisable(GLenum cap) {
    if (glsCap(&gl, cap, false)) emscripten_glDisable(cap);
}

void glTexGeni(GLenum coord, GLenum name, GLint param) { glsTexGen(&gl, coord, name, param); }
void glPolygonMode(GLenum face, GLenum mode) { glsPolygonMode(&gl, face, mode); }

// The browser renders the frame as it composites the page: nothing to wait for.
void glFinish() {}

void glShadeModel(GLenum) {}  // smooth is all WebGL does; the show asks for nothing else

void glHint(GLenum, GLenum) {}  // WebGL interpolates with perspective, as GL_NICEST asks

void glGenTextures(GLsizei n, GLuint *names) {
    if (!glsPassesThrough(&gl)) return;
    emscripten_glGenTextures(n, names);
    glsTexturesMade(&gl, n, names);
}

void glBindTexture(GLenum target, GLuint name) {
    if (glsBindTexture(&gl, target, name)) emscripten_glBindTexture(target, name);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (glsTexParameter(&gl, target, name, value)) emscripten_glTexParameteri(target, name, value);
}

// Only RGB and RGBA bytes.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void *pixels) {
    if (glsTexImage(&gl, target, level, width, height))
        emscripten_glTexImage2D(target, level, glsWebFormat(internalFormat), width, height, border, format, type,
                                pixels);
}

void glClear(GLbitfield mask) {
    if (glsClears(&gl)) emscripten_glClear(mask);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    if (glsPassesThrough(&gl)) emscripten_glClearColor(r, g, b, a);
}

void glClearDepth(GLclampd depth) {
    if (glsPassesThrough(&gl)) emscripten_glClearDepthf((GLfloat)depth);
}

void glDepthFunc(GLenum func) {
    if (glsPassesThrough(&gl)) emscripten_glDepthFunc(func);
}

void glBlendFunc(GLenum source, GLenum destination) {
    if (glsPassesThrough(&gl)) emscripten_glBlendFunc(source, destination);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (glsPassesThrough(&gl)) emscripten_glViewport(x, y, width, height);
}

}  // extern "C"
