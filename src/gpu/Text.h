#pragma once
// One fixed line of bitmap-font text in window pixels (origin lower-left,
// y up), drawn with additive blending over a darkening rim. positions and
// uvs always have the same length, six per byte of the built string for the
// text's cells followed by eight times as many for its rim (appendRim), and
// the buffers hold exactly them. The three GL names are 0 until build() and belong to this
// object; program is borrowed and only used to look up "position" and "uvs".
//
// draw() selects neither the program nor the texture nor the depth state:
// the caller makes the font program current, binds the atlas to unit 0 and
// turns the depth test off around a group of texts.

#include "gpu/ShaderProgram.h"
#include "math/Vector.h"

#include "platform/GL.h"

#include <vector>

class Text {
public:
    explicit Text(ShaderProgram* program);
    virtual ~Text();

    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Lays out text with its first cell's lower-left corner at (x, y), each
    // cell size pixels square, and uploads it. A second call replaces the line
    // in the same GL names, so a text can be placed anew when the window resizes.
    virtual void build(const char* text, int x, int y, int size);
    // Binds the vertex array (left bound) and draws the rim, darkening, then
    // every cell of the text added onto the framebuffer.
    virtual void draw();

    GLuint vao = 0;
    GLuint positionBuffer = 0;
    GLuint uvBuffer = 0;
    ShaderProgram* program;
    std::vector<Vector2> positions;
    std::vector<Vector2> uvs;
    GLsizei cellVertices = 0;  // how many of them are the text's own cells; the rim's follow

private:
    void deleteGlObjects();
};
