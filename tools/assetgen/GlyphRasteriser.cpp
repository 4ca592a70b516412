#include "GlyphRasteriser.h"

#include "Image.h"

#include <ft2build.h>
#include FT_FREETYPE_H

GlyphRasteriser::GlyphRasteriser(const std::vector<std::string>& fontPaths) {
    if (FT_Init_FreeType(&library) != 0) failGeneration("FreeType could not start");
    for (const std::string& path : fontPaths)
        if (FT_New_Face(library, path.c_str(), 0, &face) == 0) return;
    FT_Done_FreeType(library);
    failGeneration("None of the fonts could be opened, first tried: " + fontPaths.front());
}

GlyphRasteriser::~GlyphRasteriser() {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

void GlyphRasteriser::setPixelSize(int pixels, float widthScale) {
    const auto width = static_cast<FT_UInt>(static_cast<float>(pixels) * widthScale + 0.5f);
    if (FT_Set_Pixel_Sizes(face, width, static_cast<FT_UInt>(pixels)) != 0)
        failGeneration("The font cannot be set to " + std::to_string(pixels) + " pixels");
}

bool GlyphRasteriser::has(unsigned long codePoint) const { return FT_Get_Char_Index(face, codePoint) != 0; }

Glyph GlyphRasteriser::render(unsigned long codePoint) const {
    if (!has(codePoint) || FT_Load_Char(face, codePoint, FT_LOAD_RENDER) != 0)
        failGeneration("The font has no glyph for character " + std::to_string(codePoint));
    const FT_GlyphSlot slot = face->glyph;
    Glyph glyph;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.rows = static_cast<int>(slot->bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>(slot->advance.x >> 6);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row)
        for (int x = 0; x < glyph.width; ++x)
            glyph.coverage[static_cast<size_t>(row) * glyph.width + x] = slot->bitmap.buffer[row * slot->bitmap.pitch + x];
    return glyph;
}

const std::vector<std::string>& monospacedFonts() {
    static const std::vector<std::string> fonts = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    };
    return fonts;
}

const std::vector<std::string>& symbolFonts() {
    static const std::vector<std::string> fonts = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    };
    return fonts;
}
