#pragma once
// A scene object whose geometry comes from a model file (the file's first
// mesh). After construction every per-vertex list (positions, normals, uvs,
// tangents, bitangents) has the same length, indices holds three entries per
// triangle, and the six buffers and the vertex array hold copies of them.
// The vertex array feeds "position", "normal", "uvs", "tangents" and
// "bittangents", each only where the program declares it. The program is
// borrowed for the attribute lookup and never deleted.

#include "geometry/SceneObject.h"
#include "gpu/ShaderProgram.h"

#include "platform/GL.h"

#include <cstdint>
#include <vector>

class Mesh : public AnimatedObject {
public:
    // Ends the process with a message when path cannot be used as a model.
    Mesh(const Matrix4& model, ShaderProgram* program, const char* path);
    // Deletes positionBuffer, normalBuffer, uvBuffer, tangentBuffer,
    // bitangentBuffer, indexBuffer, then vao.
    ~Mesh() override;
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    void draw() override;

    GLuint vao = 0;
    GLuint positionBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint tangentBuffer = 0;
    GLuint bitangentBuffer = 0;
    ShaderProgram* program = nullptr;
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions;
    std::vector<Vector2> uvs;
    std::vector<Vector3> normals;
    std::vector<Vector3> tangents;
    std::vector<Vector3> bitangents;

private:
    void upload();
};
