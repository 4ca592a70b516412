#include "geometry/Cube.h"

#include "gpu/VertexBuffers.h"

static_assert(sizeof(Vector3) == 3 * sizeof(float), "positions are uploaded as packed floats");

// Faces in the order -z, +z, +y, -y, +x, -x; the four corners of each go
// round counter-clockwise seen from outside.
const Vector3 Cube::vertexPositions[vertexCount] = {
    {-0.5f, -0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f}, {0.5f, 0.5f, -0.5f},  {0.5f, -0.5f, -0.5f},
    {-0.5f, -0.5f, 0.5f},  {0.5f, -0.5f, 0.5f},  {0.5f, 0.5f, 0.5f},   {-0.5f, 0.5f, 0.5f},
    {0.5f, 0.5f, 0.5f},    {0.5f, 0.5f, -0.5f},  {-0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f},
    {0.5f, -0.5f, 0.5f},   {-0.5f, -0.5f, 0.5f}, {-0.5f, -0.5f, -0.5f}, {0.5f, -0.5f, -0.5f},
    {0.5f, 0.5f, 0.5f},    {0.5f, -0.5f, 0.5f},  {0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, -0.5f},
    {-0.5f, 0.5f, 0.5f},   {-0.5f, 0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f, 0.5f},
};

const Vector3 Cube::vertexNormals[vertexCount] = {
    {0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1},
    {0, 0, 1},  {0, 0, 1},  {0, 0, 1},  {0, 0, 1},
    {0, 1, 0},  {0, 1, 0},  {0, 1, 0},  {0, 1, 0},
    {0, -1, 0}, {0, -1, 0}, {0, -1, 0}, {0, -1, 0},
    {1, 0, 0},  {1, 0, 0},  {1, 0, 0},  {1, 0, 0},
    {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0},
};

// Two triangles per face: (b, b+1, b+2) and (b, b+2, b+3) with b = 4 x face.
const GLuint Cube::triangleIndices[indexCount] = {
    0,  1,  2,  0,  2,  3,  4,  5,  6,  4,  6,  7,  8,  9,  10, 8,  10, 11,
    12, 13, 14, 12, 14, 15, 16, 17, 18, 16, 18, 19, 20, 21, 22, 20, 22, 23,
};

Cube::Cube(const Matrix4& model, ShaderProgram* program) : AnimatedObject(model), program(program) {
    positionBuffer = createStaticBuffer(GL_ARRAY_BUFFER, sizeof vertexPositions, vertexPositions);
    normalBuffer = createStaticBuffer(GL_ARRAY_BUFFER, sizeof vertexNormals, vertexNormals);
    indexBuffer = createStaticBuffer(GL_ELEMENT_ARRAY_BUFFER, sizeof triangleIndices, triangleIndices);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    attachFloatAttribute(*program, "position", positionBuffer, 3);
    attachFloatAttribute(*program, "normal", normalBuffer, 3);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

Cube::~Cube() {
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &normalBuffer);
    glDeleteBuffers(1, &indexBuffer);
    glDeleteVertexArrays(1, &vao);
}

void Cube::draw() {
    glBindVertexArray(vao);
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
