#pragma once
// Anti-aliased glyphs from a TrueType font through FreeType. One rasteriser
// owns its FreeType library and face and releases both on destruction.

#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

struct Glyph {
    int width = 0, rows = 0;  // size of the coverage bitmap
    int left = 0;             // from the pen position to the bitmap's left edge
    int top = 0;              // from the baseline up to the bitmap's top row
    int advance = 0;          // pen movement to the next glyph
    std::vector<unsigned char> coverage;  // rows top-down, 0 = empty, 255 = full

    unsigned char at(int x, int row) const { return coverage[static_cast<size_t>(row) * width + x]; }
};

class GlyphRasteriser {
public:
    // Opens the first of the fonts that exists; ends the generator if none does.
    explicit GlyphRasteriser(const std::vector<std::string>& fontPaths);
    ~GlyphRasteriser();
    GlyphRasteriser(const GlyphRasteriser&) = delete;
    GlyphRasteriser& operator=(const GlyphRasteriser&) = delete;

    // Glyphs pixels high; widthScale above 1 draws them wider than the font does.
    void setPixelSize(int pixels, float widthScale = 1.0f);
    bool has(unsigned long codePoint) const;
    // Ends the generator if the font lacks the character.
    Glyph render(unsigned long codePoint) const;

private:
    FT_LibraryRec_* library = nullptr;
    FT_FaceRec_* face = nullptr;
};

// Bold monospaced fonts to try, in order.
const std::vector<std::string>& monospacedFonts();
// Fonts to try for symbols such as the heart.
const std::vector<std::string>& symbolFonts();
