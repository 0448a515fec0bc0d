// gl_log.cpp -- the wrappers behind gl_log.h: each records its call and
// forwards to the real function. The link (tests/CMakeLists.txt) sends every
// call of the listed functions made from another object file here; a name
// listed there but not wrapped here, or the other way round, fails the link.
// C++ functions are wrapped under their mangled names (the Itanium C++ ABI
// on 64-bit Linux, where intptr_t is long: 'l').
#include "support/gl_log.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <initializer_list>

#include "assets/assets.h"
#include "platform/platform.h"

namespace gllog {
namespace {

// Owned by this file: the log and its state, test programs only.
std::vector<std::string> lines;
bool recording = false;
int view = kGl;
int enclosing = 0;  // recorded calls still running

// Records the call it is made for when it is in view and not enclosed by
// another recorded call; forwards in any case.
struct Scope {
    bool logged;
    explicit Scope(int level) : logged(recording && enclosing == 0 && level <= view) {
        if (logged) enclosing++;
    }
    ~Scope() {
        if (logged) enclosing--;
    }
    void line(const char *name, std::initializer_list<std::string> args) const {
        std::string text = std::string(name) + "(";
        const char *separator = "";
        for (const std::string &arg : args) {
            text += separator + arg;
            separator = ", ";
        }
        lines.push_back(text + ")");
    }
};

std::string num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}
std::string num(int v) { return std::to_string(v); }
std::string num(unsigned v) { return std::to_string(v); }
std::string num(long v) { return std::to_string(v); }
std::string text(const char *s) { return s ? s : "null"; }

std::string glEnum(GLenum value) {
    static const struct {
        GLenum value;
        const char *name;
    } kNames[] = {
#define NAME(e) {e, #e}
        NAME(GL_TEXTURE_2D),
        NAME(GL_BLEND),
        NAME(GL_QUADS),
        NAME(GL_SRC_ALPHA),
        NAME(GL_ONE),
        NAME(GL_ONE_MINUS_SRC_ALPHA),
        NAME(GL_TEXTURE_GEN_S),
        NAME(GL_TEXTURE_GEN_T),
        NAME(GL_FRONT),
        NAME(GL_BACK),
        NAME(GL_LINE),
        NAME(GL_FILL),
        NAME(GL_DEPTH_TEST),
        NAME(GL_SMOOTH),
        NAME(GL_LEQUAL),
        NAME(GL_PROJECTION),
        NAME(GL_MODELVIEW),
        NAME(GL_S),
        NAME(GL_T),
        NAME(GL_TEXTURE_GEN_MODE),
        NAME(GL_SPHERE_MAP),
        NAME(GL_PERSPECTIVE_CORRECTION_HINT),
        NAME(GL_NICEST),
        NAME(GL_RGB),
        NAME(GL_UNSIGNED_BYTE),
        NAME(GL_TEXTURE_MIN_FILTER),
        NAME(GL_TEXTURE_MAG_FILTER),
        NAME(GL_LINEAR),
#undef NAME
    };
    for (const auto &entry : kNames)
        if (entry.value == value) return entry.name;
    return num((unsigned)value);
}

std::string bits(GLbitfield mask) {
    std::string text;
    if (mask & GL_COLOR_BUFFER_BIT) text += "GL_COLOR_BUFFER_BIT";
    if (mask & GL_DEPTH_BUFFER_BIT) text += text.empty() ? "GL_DEPTH_BUFFER_BIT" : "|GL_DEPTH_BUFFER_BIT";
    if (mask & ~(GLbitfield)(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) text += "|" + num((unsigned)mask);
    return text;
}

// A texture name as the first slot holding it.
std::string texture(GLuint name) {
    for (int slot = 0; slot < kTextureSlots; slot++)
        if (textureNames[slot] == name) return "slot" + num(slot);
    return num((unsigned)name);
}

}  // namespace

void start(View newView) {
    lines.clear();
    view = newView;
    recording = true;
}

std::vector<std::string> take() {
    std::vector<std::string> taken;
    taken.swap(lines);
    return taken;
}

std::vector<std::string> stop() {
    recording = false;
    return take();
}

std::vector<std::string> only(const std::vector<std::string> &all, const std::vector<std::string> &prefixes) {
    std::vector<std::string> kept;
    for (const std::string &line : all)
        for (const std::string &prefix : prefixes)
            if (line.compare(0, prefix.size(), prefix) == 0) {
                kept.push_back(line);
                break;
            }
    return kept;
}

}  // namespace gllog

using gllog::glEnum;
using gllog::num;
using gllog::Scope;
using gllog::text;

// WRAP(level, return type, name, mangled symbol, (parameters), (arguments), log arguments...)
#define WRAP(level, ret, name, symbol, params, args, ...)   \
    extern "C" ret __real_##symbol params;                  \
    extern "C" ret __wrap_##symbol params {                 \
        Scope scope(level);                                 \
        if (scope.logged) scope.line(#name, {__VA_ARGS__}); \
        return __real_##symbol args;                        \
    }
#define GL(ret, name, params, args, ...) WRAP(gllog::kGl, ret, name, name, params, args, __VA_ARGS__)

// ---- GL and GLU
GL(void, glBegin, (GLenum mode), (mode), glEnum(mode))
GL(void, glEnd, (), ())
GL(void, glBindTexture, (GLenum target, GLuint name), (target, name), glEnum(target), gllog::texture(name))
GL(void, glBlendFunc, (GLenum s, GLenum d), (s, d), glEnum(s), glEnum(d))
GL(void, glClear, (GLbitfield mask), (mask), gllog::bits(mask))
GL(void, glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a), num(r), num(g), num(b), num(a))
GL(void, glClearDepth, (GLclampd d), (d), num(d))
GL(void, glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a), num(r), num(g), num(b), num(a))
GL(void, glDepthFunc, (GLenum f), (f), glEnum(f))
GL(void, glDisable, (GLenum cap), (cap), glEnum(cap))
GL(void, glEnable, (GLenum cap), (cap), glEnum(cap))
GL(void, glGenTextures, (GLsizei n, GLuint *names), (n, names), num(n))
GL(void, glHint, (GLenum target, GLenum mode), (target, mode), glEnum(target), glEnum(mode))
GL(void, glLoadIdentity, (), ())
GL(void, glMatrixMode, (GLenum mode), (mode), glEnum(mode))
GL(void, glPolygonMode, (GLenum face, GLenum mode), (face, mode), glEnum(face), glEnum(mode))
GL(void, glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z), num(a), num(x), num(y), num(z))
GL(void, glShadeModel, (GLenum mode), (mode), glEnum(mode))
GL(void, glTexCoord2f, (GLfloat s, GLfloat t), (s, t), num(s), num(t))
GL(void, glTexGeni, (GLenum c, GLenum p, GLint v), (c, p, v), glEnum(c), glEnum(p), glEnum((GLenum)v))
GL(void, glTexImage2D,
   (GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format, GLenum type,
    const GLvoid *pixels),
   (target, level, internal, w, h, border, format, type, pixels), glEnum(target), num(level), num(internal), num(w),
   num(h), num(border), glEnum(format), glEnum(type))
GL(void, glTexParameteri, (GLenum target, GLenum p, GLint v), (target, p, v), glEnum(target), glEnum(p),
   glEnum((GLenum)v))
GL(void, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), num(x), num(y), num(z))
GL(void, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), num(x), num(y), num(z))
GL(void, glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h), num(x), num(y), num(w), num(h))
GL(void, gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar), (fovy, aspect, zNear, zFar),
   num(fovy), num(aspect), num(zNear), num(zFar))

// ---- the platform's present and teardown calls
#define PLATFORM(ret, name, symbol, params, args, ...) WRAP(gllog::kGl, ret, name, symbol, params, args, __VA_ARGS__)
PLATFORM(bool, GLimp_ChangeDisplayMode, _Z23GLimp_ChangeDisplayModeiiii,
         (PlatformWindow w, int width, int height, int bpp), (w, width, height, bpp), num(w), num(width), num(height),
         num(bpp))
PLATFORM(bool, GLimp_MakeCurrent, _Z17GLimp_MakeCurrentll, (PlatformDc dc, PlatformGlContext ctx), (dc, ctx), num(dc),
         num(ctx))
PLATFORM(bool, GLimp_DeleteContext, _Z19GLimp_DeleteContextl, (PlatformGlContext ctx), (ctx), num(ctx))
PLATFORM(void, GLimp_ReleaseDc, _Z15GLimp_ReleaseDcil, (PlatformWindow w, PlatformDc dc), (w, dc), num(w), num(dc))
PLATFORM(void, GLimp_SwapBuffers, _Z17GLimp_SwapBuffersl, (PlatformDc dc), (dc), num(dc))
PLATFORM(void, Sys_DestroyWindow, _Z17Sys_DestroyWindowi, (PlatformWindow w), (w), num(w))

// ---- the drawing primitives, the frame and the preload steps
#define STEP(ret, name, symbol, params, args, ...) \
    WRAP(gllog::kPrimitives, ret, name, symbol, params, args, __VA_ARGS__)
STEP(void, drawMesh, _Z8drawMeshiififff, (int m, int t, float a, int f, float r, float g, float b),
     (m, t, a, f, r, g, b), num(m), num(t), num(a), num(f), num(r), num(g), num(b))
STEP(void, drawMeshOffset, _Z14drawMeshOffsetiififfffff,
     (int m, int t, float a, int f, float r, float g, float b, float dx, float dy, float dz),
     (m, t, a, f, r, g, b, dx, dy, dz), num(m), num(t), num(a), num(f), num(r), num(g), num(b), num(dx), num(dy),
     num(dz))
STEP(void, morphMeshToward, _Z15morphMeshTowardii, (int from, int to), (from, to), num(from), num(to))
STEP(void, drawCenteredQuad, _Z16drawCenteredQuadfififff, (float h, int t, float a, int f, float r, float g, float b),
     (h, t, a, f, r, g, b), num(h), num(t), num(a), num(f), num(r), num(g), num(b))
STEP(void, drawQuadAt, _Z10drawQuadAtffffififff,
     (float h, float x, float y, float z, int t, float a, int f, float r, float g, float b),
     (h, x, y, z, t, a, f, r, g, b), num(h), num(x), num(y), num(z), num(t), num(a), num(f), num(r), num(g), num(b))
STEP(void, enableSphereMap, _Z15enableSphereMapv, (), ())
STEP(void, disableSphereMap, _Z16disableSphereMapv, (), ())
STEP(void, enableSphereMapS, _Z16enableSphereMapSv, (), ())
STEP(void, disableSphereMapS, _Z17disableSphereMapSv, (), ())
STEP(void, setWireframe, _Z12setWireframev, (), ())
STEP(void, setFilled, _Z9setFilledv, (), ())
STEP(void, swapFrame, _Z9swapFramev, (), ())
STEP(void, clearFrame, _Z10clearFramev, (), ())
STEP(int, loadTexture, _Z11loadTextureiPKc, (int slot, const char *path), (slot, path), num(slot), text(path))
STEP(void, loadDxfMesh, _Z11loadDxfMeshPKci, (const char *path, int slot), (path, slot), text(path), num(slot))
STEP(void, startMusic, _Z10startMusicPKc, (const char *path), (path), text(path))

// ---- the scene routines
#define ROUTINE(name, symbol, params, args, ...) WRAP(gllog::kRoutines, void, name, symbol, params, args, __VA_ARGS__)
ROUTINE(drawIntroMesh, _Z13drawIntroMeshv, (), ())
ROUTINE(drawMeshFlyIn, _Z13drawMeshFlyInv, (), ())
ROUTINE(drawMeshFlyBack, _Z15drawMeshFlyBackf, (float t), (t), num(t))
ROUTINE(drawOpeningCard, _Z15drawOpeningCardif, (int slot, float t), (slot, t), num(slot), num(t))
ROUTINE(drawTwinRings, _Z13drawTwinRingsf, (float t), (t), num(t))
ROUTINE(drawSlidingBanner, _Z17drawSlidingBannerf, (float t), (t), num(t))
ROUTINE(drawStillCard, _Z13drawStillCardf, (float t), (t), num(t))
ROUTINE(drawRingParticles, _Z17drawRingParticlesf, (float t), (t), num(t))
ROUTINE(drawRingParticlesInner, _Z22drawRingParticlesInnerf, (float t), (t), num(t))
ROUTINE(initRingParticles, _Z17initRingParticlesv, (), ())
ROUTINE(drawBillboardCascade, _Z20drawBillboardCascadev, (), ())
ROUTINE(drawBillboardCascadeOut, _Z23drawBillboardCascadeOutv, (), ())
ROUTINE(drawMorphScene, _Z14drawMorphScenef, (float t), (t), num(t))
ROUTINE(drawMorphBackdrop, _Z17drawMorphBackdropf, (float t), (t), num(t))
ROUTINE(runCredits, _Z10runCreditsv, (), ())
