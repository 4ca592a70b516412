#include "FontAtlas.h"

#include "GlyphRasteriser.h"
#include "Image.h"

#include <algorithm>

namespace {

constexpr int kCells = 16;
constexpr int kInner = fontCellSize - 2 * fontCellMargin;
constexpr float kGlyphWidening = 1.35f;
constexpr int kFirstPrintable = 33;
constexpr int kLastPrintable = 126;

struct Extent {
    int above = 0, below = 0, width = 0;  // over all printable characters
};

Extent measure(const GlyphRasteriser& font) {
    Extent e;
    for (int c = kFirstPrintable; c <= kLastPrintable; ++c) {
        const Glyph g = font.render(static_cast<unsigned long>(c));
        e.above = std::max(e.above, g.top);
        e.below = std::max(e.below, g.rows - g.top);
        e.width = std::max({e.width, g.width, g.advance});
    }
    return e;
}

// The largest pixel size at which every printable character fits a cell.
// The HUD sets its characters edge to edge in square cells, so the narrow
// monospaced glyphs are widened to keep the gaps between letters small.
Extent fitCells(GlyphRasteriser& font) {
    for (int pixels = fontCellSize; pixels > 4; --pixels) {
        font.setPixelSize(pixels, kGlyphWidening);
        const Extent e = measure(font);
        if (e.above + e.below <= kInner && e.width <= kInner) return e;
    }
    failGeneration("The font does not fit the atlas cells at any size");
}

// Copies the glyph into its cell with its top row nearest the cell's bottom
// edge; left and fromTop place the bitmap within the cell.
void stamp(RgbImage& atlas, int code, const Glyph& g, int left, int fromTop) {
    const int cellX = (code % kCells) * fontCellSize, cellY = (code / kCells) * fontCellSize;
    left = std::clamp(left, fontCellMargin, fontCellSize - fontCellMargin - g.width);
    fromTop = std::clamp(fromTop, fontCellMargin, fontCellSize - fontCellMargin - g.rows);
    for (int row = 0; row < g.rows; ++row)
        for (int x = 0; x < g.width; ++x) {
            const float ink = g.at(x, row) / 255.0f;
            atlas.at(cellX + left + x, cellY + fromTop + row) = {ink, ink, ink};
        }
}

void stampCharacters(RgbImage& atlas) {
    GlyphRasteriser font(monospacedFonts());
    const Extent e = fitCells(font);
    const int baseline = fontCellMargin + (kInner - e.above - e.below) / 2 + e.above;
    for (int c = kFirstPrintable; c <= kLastPrintable; ++c) {
        const Glyph g = font.render(static_cast<unsigned long>(c));
        stamp(atlas, c, g, (fontCellSize - g.advance) / 2 + g.left, baseline - g.top);
    }
}

void stampHeart(RgbImage& atlas) {
    constexpr unsigned long kHeart = 0x2665;
    GlyphRasteriser font(symbolFonts());
    Glyph g;
    for (int pixels = 2 * fontCellSize; pixels > 4; --pixels) {
        font.setPixelSize(pixels);
        g = font.render(kHeart);
        if (g.width <= kInner && g.rows <= kInner) break;
    }
    stamp(atlas, fontHeartCode, g, (fontCellSize - g.width) / 2, (fontCellSize - g.rows) / 2);
}

}  // namespace

void writeFontAtlas(const std::string& path) {
    RgbImage atlas(kCells * fontCellSize, kCells * fontCellSize);
    stampCharacters(atlas);
    stampHeart(atlas);
    atlas.saveBmp(path);
}
