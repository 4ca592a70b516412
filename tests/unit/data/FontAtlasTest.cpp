#include "DataFiles.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kCell = 32;
constexpr int kHeart = 13 * 16 + 4;

class FontAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        atlas = loadBitmap("Font/flipped_mit_herz.bmp");
        ASSERT_TRUE(atlas);
    }

    // Brightness of pixel (x, y) of character code's cell; y counts up from
    // the cell's first scanline, which lies nearest the picture's bottom edge.
    float ink(int code, unsigned x, unsigned y) const {
        const Rgb p = pixelAt(atlas.get(), (code % 16) * kCell + x, (code / 16) * kCell + y);
        return (p.r + p.g + p.b) / 3.0f;
    }

    float totalInk(int code) const {
        float sum = 0.0f;
        for (unsigned y = 0; y < kCell; ++y)
            for (unsigned x = 0; x < kCell; ++x) sum += ink(code, x, y);
        return sum;
    }

    // Leftmost to rightmost inked pixel of a scanline of the cell, 0 if none.
    unsigned span(int code, unsigned y) const {
        int first = -1, last = -1;
        for (unsigned x = 0; x < kCell; ++x)
            if (ink(code, x, y) > 0.5f) {
                if (first < 0) first = static_cast<int>(x);
                last = static_cast<int>(x);
            }
        return first < 0 ? 0u : static_cast<unsigned>(last - first + 1);
    }

    Bitmap atlas;
};

TEST_F(FontAtlasTest, IsA512Square24BitWhiteOnBlackPicture) {
    EXPECT_EQ(FreeImage_GetWidth(atlas.get()), 512u);
    EXPECT_EQ(FreeImage_GetHeight(atlas.get()), 512u);
    EXPECT_EQ(FreeImage_GetBPP(atlas.get()), 24u);
    const Rgb p = pixelAt(atlas.get(), 65 % 16 * kCell + 16, 65 / 16 * kCell + 16);
    EXPECT_FLOAT_EQ(p.r, p.g);
    EXPECT_FLOAT_EQ(p.g, p.b);
}

TEST_F(FontAtlasTest, PrintableCharactersAndTheHeartHaveInkAndNothingElseDoes) {
    for (int code = 0; code < 256; ++code) {
        const bool inked = (code > 32 && code < 127) || code == kHeart;
        if (inked)
            EXPECT_GT(totalInk(code), 10.0f) << "code " << code;
        else
            EXPECT_EQ(totalInk(code), 0.0f) << "code " << code;
    }
    EXPECT_GT(totalInk(kHeart), 150.0f) << "the heart should fill its cell";
}

TEST_F(FontAtlasTest, CellsKeepTheirBorderEmptySoNeighboursDoNotBleed) {
    for (int code = 0; code < 256; ++code)
        for (unsigned k = 0; k < kCell; ++k)
            for (unsigned edge : {0u, kCell - 1})
                ASSERT_EQ(ink(code, k, edge) + ink(code, edge, k), 0.0f) << "code " << code;
}

// The sampled cell shows the glyph's top at its first scanline (the smaller
// v), so the picture holds every glyph upside down: the apex of "A" is on
// the cell's first inked scanline, its legs on the last, its crossbar nearer
// the legs.
TEST_F(FontAtlasTest, GlyphsAreStoredTopFirstSoTheyAppearUpsideDown) {
    const int a = 'A';
    unsigned first = kCell, last = 0;
    for (unsigned y = 0; y < kCell; ++y)
        if (span(a, y) > 0) first = std::min(first, y), last = std::max(last, y);
    ASSERT_LT(first, last);
    EXPECT_LT(span(a, first) * 2, span(a, last));

    unsigned crossbar = first, widest = 0;
    for (unsigned y = first + 2; y + 2 < last; ++y) {
        // A crossbar row is inked all the way across.
        unsigned x0 = 0;
        while (x0 < kCell && ink(a, x0, y) <= 0.5f) ++x0;
        unsigned run = 0;
        while (x0 + run < kCell && ink(a, x0 + run, y) > 0.5f) ++run;
        if (run > widest) widest = run, crossbar = y;
    }
    EXPECT_GT(crossbar, (first + last) / 2);

    // "V" is the other way round: wide at its top, pointed at its bottom.
    unsigned vFirst = kCell, vLast = 0;
    for (unsigned y = 0; y < kCell; ++y)
        if (span('V', y) > 0) vFirst = std::min(vFirst, y), vLast = std::max(vLast, y);
    EXPECT_GT(span('V', vFirst), 2 * span('V', vLast));
}

}  // namespace
