#pragma once
// A unit cube centred on the object's origin: 24 vertices, four per face,
// each face with its own flat normal, and 36 32-bit indices, every triangle
// counter-clockwise seen from outside. It feeds only "position" and
// "normal". The program is borrowed for the attribute lookup and never
// deleted; the cube owns its three buffers and its vertex array.

#include "geometry/SceneObject.h"
#include "gpu/ShaderProgram.h"

#include "platform/GL.h"

class Cube : public AnimatedObject {
public:
    static constexpr int vertexCount = 24;
    static constexpr int indexCount = 36;
    static const Vector3 vertexPositions[vertexCount];
    static const Vector3 vertexNormals[vertexCount];
    static const GLuint triangleIndices[indexCount];

    Cube(const Matrix4& model, ShaderProgram* program);
    // Deletes positionBuffer, normalBuffer, indexBuffer, then vao.
    ~Cube() override;
    Cube(const Cube&) = delete;
    Cube& operator=(const Cube&) = delete;

    void draw() override;

    GLuint vao = 0;
    GLuint positionBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint indexBuffer = 0;
    ShaderProgram* program = nullptr;
};
