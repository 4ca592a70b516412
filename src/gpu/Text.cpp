#include "gpu/Text.h"

#include "gpu/TextGeometry.h"

namespace {

constexpr GLint COMPONENTS_PER_VERTEX = 2;

GLuint uploadStatic(const std::vector<Vector2>& vertices) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vector2)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer;
}

// Feeds the named attribute from buffer into the bound vertex array. A name
// the program lacks stays unconnected.
void connectAttribute(GLuint programHandle, const char* name, GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLint location = glGetAttribLocation(programHandle, name);
    if (location < 0) return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), COMPONENTS_PER_VERTEX, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
}

}  // namespace

Text::Text(ShaderProgram* program) : program(program) {}

Text::~Text() { deleteGlObjects(); }

void Text::build(const char* text, int x, int y, int size) {
    deleteGlObjects();
    buildTextGeometry(text, x, y, size, positions, uvs);

    positionBuffer = uploadStatic(positions);
    uvBuffer = uploadStatic(uvs);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    connectAttribute(program->programHandle, "position", positionBuffer);
    connectAttribute(program->programHandle, "uvs", uvBuffer);

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void Text::draw() {
    glBindVertexArray(vao);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size()));
    glDisable(GL_BLEND);
}

// Buffers before the vertex array; deleting name 0 does nothing.
void Text::deleteGlObjects() {
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &uvBuffer);
    glDeleteVertexArrays(1, &vao);
    positionBuffer = uvBuffer = vao = 0;
}
