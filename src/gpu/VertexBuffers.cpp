#include "gpu/VertexBuffers.h"

GLuint createStaticBuffer(GLenum target, GLsizeiptr size, const void* data) {
    GLuint name = 0;
    glGenBuffers(1, &name);
    refillStaticBuffer(target, name, size, data);
    return name;
}

void refillStaticBuffer(GLenum target, GLuint buffer, GLsizeiptr size, const void* data) {
    glBindBuffer(target, buffer);
    glBufferData(target, size, data, GL_STATIC_DRAW);
    glBindBuffer(target, 0);
}

void attachFloatAttribute(const ShaderProgram& program, const char* name, GLuint buffer,
                          GLint components) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLint location = glGetAttribLocation(program.programHandle, name);
    if (location < 0) return;
    const GLuint index = static_cast<GLuint>(location);
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, components, GL_FLOAT, GL_FALSE, 0, nullptr);
}
