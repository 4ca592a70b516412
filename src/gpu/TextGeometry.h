#pragma once
// The vertices of one line of bitmap-font text, without any GL.
//
// Each byte of text takes one square cell of edge size, the first with its
// lower-left corner at (x, y) in window pixels (y up), each next one size
// further right. A cell is two counter-clockwise triangles, six vertices.
// Its texture coordinates pick a cell of a 16 x 16 atlas: the byte read as a
// signed value c gives column c rem 16 and row c quot 16 (truncated toward
// zero), each 1/16 wide, with the smaller v at the top of the glyph. Bytes
// from 0x80 give negative coordinates that the atlas's repeat wrapping takes
// back into the texture (0xC4 lands in column 4, row 13).

#include "math/Vector.h"

#include <vector>

// Replaces positions and uvs with the line's vertices; both end with the
// same length, six per byte of text.
void buildTextGeometry(const char* text, int x, int y, int size, std::vector<Vector2>& positions,
                       std::vector<Vector2>& uvs);

// Under the HUD's additive text a darkening rim keeps it readable over white
// cloud. Appends eight copies of the vertices already in positions and uvs,
// moved rimWidth(size) pixels in the eight directions of the compass (the
// first along +x, then counter-clockwise), with the same atlas coordinates.
void appendRim(int size, std::vector<Vector2>& positions, std::vector<Vector2>& uvs);
// A sixteenth of the cell size, at least 1.5 pixels.
float rimWidth(int size);
