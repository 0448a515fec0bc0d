// webgl_calls.h -- emscripten's WebGL entry points under their second names
// (emscripten_gl...), so that the web backend's own GL 1.1 functions can
// take the plain names and still reach WebGL. Never included outside
// src/platform/web.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

extern "C" {
void emscripten_glEnable(GLenum cap);
void emscripten_glDisable(GLenum cap);
void emscripten_glClear(GLbitfield mask);
void emscripten_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void emscripten_glClearDepthf(GLfloat depth);
void emscripten_glDepthFunc(GLenum func);
void emscripten_glBlendFunc(GLenum source, GLenum destination);
void emscripten_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void emscripten_glGenTextures(GLsizei n, GLuint *names);
void emscripten_glBindTexture(GLenum target, GLuint name);
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const void *pixels);
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const GLchar *const *sources, const GLint *lengths);
void emscripten_glCompileShader(GLuint shader);
void emscripten_glGetShaderiv(GLuint shader, GLenum name, GLint *value);
void emscripten_glGetShaderInfoLog(GLuint shader, GLsizei size, GLsizei *length, GLchar *log);
GLuint emscripten_glCreateProgram();
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const GLchar *name);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glGetProgramiv(GLuint program, GLenum name, GLint *value);
void emscripten_glGetProgramInfoLog(GLuint program, GLsizei size, GLsizei *length, GLchar *log);
void emscripten_glUseProgram(GLuint program);
GLint emscripten_glGetUniformLocation(GLuint program, const GLchar *name);
void emscripten_glUniform1i(GLint location, GLint value);
void emscripten_glUniform1f(GLint location, GLfloat value);
void emscripten_glUniform3f(GLint location, GLfloat x, GLfloat y, GLfloat z);
void emscripten_glUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose, const GLfloat *value);
void emscripten_glGenBuffers(GLsizei n, GLuint *buffers);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void *data, GLenum usage);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                                      const void *pointer);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void *indices);
}
