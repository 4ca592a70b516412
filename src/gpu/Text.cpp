#include "gpu/Text.h"

#include "gpu/TextGeometry.h"
#include "gpu/VertexBuffers.h"

namespace {

constexpr GLint COMPONENTS_PER_VERTEX = 2;

}  // namespace

Text::Text(ShaderProgram* program) : program(program) {}

Text::~Text() { deleteGlObjects(); }

void Text::build(const char* text, int x, int y, int size) {
    buildTextGeometry(text, x, y, size, positions, uvs);
    cellVertices = static_cast<GLsizei>(positions.size());
    appendRim(size, positions, uvs);
    if (vao != 0) {  // built before: the same names take the new line
        refillStaticBuffer(GL_ARRAY_BUFFER, positionBuffer, positions);
        refillStaticBuffer(GL_ARRAY_BUFFER, uvBuffer, uvs);
        return;
    }

    positionBuffer = createStaticBuffer(GL_ARRAY_BUFFER, positions);
    uvBuffer = createStaticBuffer(GL_ARRAY_BUFFER, uvs);

    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    attachFloatAttribute(*program, "position", positionBuffer, COMPONENTS_PER_VERTEX);
    attachFloatAttribute(*program, "uvs", uvBuffer, COMPONENTS_PER_VERTEX);

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

// Light can only be added to a white sky, so the rim beneath darkens it by
// the glyph's coverage first: the text reads over cloud as over the sea.
void Text::draw() {
    glBindVertexArray(vao);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, cellVertices, static_cast<GLsizei>(positions.size()) - cellVertices);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDrawArrays(GL_TRIANGLES, 0, cellVertices);
    glDisable(GL_BLEND);
}

// Buffers before the vertex array; deleting name 0 does nothing.
void Text::deleteGlObjects() {
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &uvBuffer);
    glDeleteVertexArrays(1, &vao);
    positionBuffer = uvBuffer = vao = 0;
}
