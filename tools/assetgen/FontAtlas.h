#pragma once
// The bitmap-font atlas: 16 x 16 cells of fontCellSize pixels, white glyphs
// on black. Character code c sits in column c % 16 and row c / 16, rows
// counted from the bottom edge of the picture, and every glyph has its top
// toward the bottom of the picture, so that an image viewer shows an
// ordinary character sheet flipped vertically. The heart of the lives
// display takes column 4, row 13.

#include <string>

constexpr int fontCellSize = 32;
constexpr int fontCellMargin = 2;  // empty pixels kept on each side of a cell
constexpr int fontHeartCode = 13 * 16 + 4;

void writeFontAtlas(const std::string& path);
