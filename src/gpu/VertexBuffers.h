#pragma once
// The upload steps that Text, Cube, Mesh and Terrain share. A buffer is filled once
// with GL_STATIC_DRAW and its target is unbound again afterwards; an
// attribute is described as tightly packed floats from the start of its own
// buffer.

#include "gpu/ShaderProgram.h"

#include "platform/GL.h"

#include <vector>

// A new buffer on target holding size bytes from data.
GLuint createStaticBuffer(GLenum target, GLsizeiptr size, const void* data);

template <typename T>
GLuint createStaticBuffer(GLenum target, const std::vector<T>& list) {
    return createStaticBuffer(target, static_cast<GLsizeiptr>(list.size() * sizeof(T)), list.data());
}

// Replaces what buffer holds with size bytes from data, again GL_STATIC_DRAW.
void refillStaticBuffer(GLenum target, GLuint buffer, GLsizeiptr size, const void* data);

template <typename T>
void refillStaticBuffer(GLenum target, GLuint buffer, const std::vector<T>& list) {
    refillStaticBuffer(target, buffer, static_cast<GLsizeiptr>(list.size() * sizeof(T)), list.data());
}

// With a vertex array bound: feeds the input called name of program from
// buffer, components floats per vertex. An input that the linked program
// does not use (location -1) is left unset, so the shader sees the default
// attribute value.
void attachFloatAttribute(const ShaderProgram& program, const char* name, GLuint buffer,
                          GLint components);
