#include "geometry/Mesh.h"

#include "geometry/ModelImport.h"
#include "gpu/VertexBuffers.h"

static_assert(sizeof(Vector2) == 2 * sizeof(float), "uvs are uploaded as packed floats");
static_assert(sizeof(Vector3) == 3 * sizeof(float), "vectors are uploaded as packed floats");

Mesh::Mesh(const Matrix4& model, ShaderProgram* program, const char* path)
    : AnimatedObject(model), program(program) {
    loadModel(path, indices, positions, uvs, normals);
    computeTangents(indices, positions, uvs, tangents, bitangents);
    upload();
}

Mesh::~Mesh() {
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &normalBuffer);
    glDeleteBuffers(1, &uvBuffer);
    glDeleteBuffers(1, &tangentBuffer);
    glDeleteBuffers(1, &bitangentBuffer);
    glDeleteBuffers(1, &indexBuffer);
    glDeleteVertexArrays(1, &vao);
}

void Mesh::draw() {
    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
}

void Mesh::upload() {
    positionBuffer = createStaticBuffer(GL_ARRAY_BUFFER, positions);
    normalBuffer = createStaticBuffer(GL_ARRAY_BUFFER, normals);
    uvBuffer = createStaticBuffer(GL_ARRAY_BUFFER, uvs);
    tangentBuffer = createStaticBuffer(GL_ARRAY_BUFFER, tangents);
    bitangentBuffer = createStaticBuffer(GL_ARRAY_BUFFER, bitangents);
    indexBuffer = createStaticBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    attachFloatAttribute(*program, "position", positionBuffer, 3);
    attachFloatAttribute(*program, "normal", normalBuffer, 3);
    attachFloatAttribute(*program, "uvs", uvBuffer, 2);
    attachFloatAttribute(*program, "tangents", tangentBuffer, 3);
    attachFloatAttribute(*program, "bittangents", bitangentBuffer, 3);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}
