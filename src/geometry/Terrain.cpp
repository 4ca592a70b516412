#include "geometry/Terrain.h"

#include "gpu/VertexBuffers.h"

Terrain::Terrain(const Matrix4& model, ShaderProgram* program, float spacing, float heightScale,
                 const char* heightmapPath)
    : TerrainGrid(heightmapPath, spacing, heightScale), model(model), program(program) {
    positionBuffer = createStaticBuffer(GL_ARRAY_BUFFER, positions);
    normalBuffer = createStaticBuffer(GL_ARRAY_BUFFER, normals);
    uvBuffer = createStaticBuffer(GL_ARRAY_BUFFER, uvs);
    indexBuffer = createStaticBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    attachFloatAttribute(*program, "position", positionBuffer, 3);
    attachFloatAttribute(*program, "normal", normalBuffer, 3);
    attachFloatAttribute(*program, "uvs", uvBuffer, 2);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

Terrain::~Terrain() {
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &normalBuffer);
    glDeleteBuffers(1, &uvBuffer);
    glDeleteBuffers(1, &indexBuffer);
    glDeleteVertexArrays(1, &vao);
}

void drawTerrainGrid(const Terrain& terrain) {
    glBindVertexArray(terrain.vao);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(terrain.indices.size()), GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
}
