#pragma once
// WebGL 2 (OpenGL ES 3.0) as the game's OpenGL 3.3 core: the few calls,
// constants and formats that the game uses and WebGL 2 lacks are supplied
// here with their nearest equivalents, so that the code above is the same
// on the desktop and in a browser.
//
// - glPolygonMode(GL_FRONT_AND_BACK, GL_LINE) (the wire-frame toggle): kept
//   as state, and while it is on every triangle draw is drawn as the lines
//   of its triangles' edges, from index buffers made once per draw.
// - glFramebufferTexture attaches a 2-D texture's level; glDrawBuffer goes
//   through glDrawBuffers; glBindFragDataLocation has nothing to do, as a
//   shader's single output is colour 0 already.
// - Uploads in GL_BGR are turned into GL_RGB; a 16-bit depth texture takes
//   GL_UNSIGNED_SHORT data, and an unsized depth renderbuffer 24 bits.
//
// Only WebGL.cpp calls the real functions behind the redirected names.

#include <GLES3/gl3.h>

#define GL_BGR 0x80E0
#define GL_POLYGON_MODE 0x0B40
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02

void glPolygonMode(GLenum face, GLenum mode);
void glFramebufferTexture(GLenum target, GLenum attachment, GLuint texture, GLint level);
void glDrawBuffer(GLenum buffer);
void glBindFragDataLocation(GLuint program, GLuint color, const char* name);

namespace webgl {
void texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                GLenum format, GLenum type, const void* pixels);
void renderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height);
void getIntegerv(GLenum name, GLint* data);
void bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void deleteBuffers(GLsizei count, const GLuint* buffers);
void drawElements(GLenum mode, GLsizei count, GLenum type, const void* offset);
void drawArrays(GLenum mode, GLint first, GLsizei count);
}  // namespace webgl

#ifndef QM_WEBGL_IMPLEMENTATION
#define glTexImage2D webgl::texImage2D
#define glRenderbufferStorage webgl::renderbufferStorage
#define glGetIntegerv webgl::getIntegerv
#define glBufferData webgl::bufferData
#define glDeleteBuffers webgl::deleteBuffers
#define glDrawElements webgl::drawElements
#define glDrawArrays webgl::drawArrays
#endif
