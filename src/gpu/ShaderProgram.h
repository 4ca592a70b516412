#pragma once
// One linked GLSL program built from a vertex-shader file and a
// fragment-shader file. Construction either succeeds with all three names
// valid and the program linked, or ends the process with a message
// (fatalError); a caller never sees a half-built program. The fragment output
// "fragColor" is bound to colour number 0 before linking; every other name is
// looked up after linking by the users.

#include "platform/GL.h"

class ShaderProgram {
public:
    ShaderProgram(const char* vertexPath, const char* fragmentPath);
    ~ShaderProgram();  // deletes the program, then the vertex and fragment shaders

    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    GLuint programHandle = 0;
    GLuint vertexShaderHandle = 0;
    GLuint fragmentShaderHandle = 0;

private:
    void link();
};

// Reads path whole and compiles it as a shaderType shader into handleOut.
void compileShaderFile(const char* path, GLenum shaderType, GLuint& handleOut);
