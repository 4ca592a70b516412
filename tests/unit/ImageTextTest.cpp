// Pictures cut short, read from a file and from memory alike, and the
// vertices of a line of text. What the game does with them: the rows of
// tests/gl/bad-inputs.txt.
#include "gpu/ImageSource.h"
#include "gpu/TextGeometry.h"
#include "support/Harness.h"

#include <tuple>

namespace {

// A 200 x 120 picture of pseudo-random pixels in the given format, so that
// run-length packets stay short and the file outgrows the reader's 64 KiB window.
std::string noise(const TempDir& dir, FREE_IMAGE_FORMAT format, int flags) {
    FIBITMAP* bitmap = FreeImage_Allocate(200, 120, 24);
    uint32_t state = 12345;
    for (int r = 0; r < 120; ++r)
        for (int i = 0; i < 600; ++i) FreeImage_GetScanLine(bitmap, r)[i] = static_cast<BYTE>((state = state * 1664525u + 1013904223u) >> 24);
    EXPECT_TRUE(FreeImage_Save(format, bitmap, (dir / "noise").c_str(), flags));
    FreeImage_Unload(bitmap);
    return readFile(dir / "noise");
}

// The reason loadWhole gives for the bytes from memory, which must be the one
// it gives for them in a file; empty when the picture loads.
std::string reasonFor(const std::string& bytes, const TempDir& dir) {
    std::string fromMemory, fromFile;
    const ImageSource memory = ImageSource::memory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    const bool memoryLoads = memory.loadWhole(memory.format(), fromMemory) != nullptr;
    const std::string path = dir / "picture";
    writeFile(path, bytes);
    const ImageSource file = ImageSource::file(path.c_str());
    EXPECT_EQ(memoryLoads, file.loadWhole(file.format(), fromFile) != nullptr);
    EXPECT_EQ(fromMemory, fromFile);
    return fromMemory;
}

}  // namespace

TEST(ImageSource, PicturesCutShortAnywhereAreRefusedFromFileAndMemory) {
    TempDir dir;
    // Name, bytes, the bytes after the pixels (the JPEG end marker, the IEND chunk, the TGA footer), the reason for them cut short.
    for (const auto& [name, bytes, after, reason] : {
        std::tuple{"jpeg", noise(dir, FIF_JPEG, JPEG_QUALITYSUPERB | JPEG_SUBSAMPLING_444), size_t{2}, "The file ends before its end marker"},
        {"png", noise(dir, FIF_PNG, 0), 12, "The file ends before its last chunk"},
        {"plain tga", noise(dir, FIF_TARGA, 0), 26, "The file ends before its last pixel row"},
        {"packed tga", noise(dir, FIF_TARGA, TARGA_SAVE_RLE), 26, "The file ends before its last pixel row"},
        {"bmp", noise(dir, FIF_BMP, 0), 0, "The file ends before its last pixel row"}}) {
        ASSERT_GT(bytes.size(), 65536u) << name;
        EXPECT_EQ(reasonFor(bytes, dir), "") << name;
        for (size_t left : {bytes.size() - after - 1, size_t{70000}, size_t{58}})
            EXPECT_EQ(reasonFor(bytes.substr(0, left), dir), reason) << name << " cut to " << left;
    }
}

// Each byte is a square cell of two counter-clockwise triangles, the next
// one size further right; "A" is atlas cell (1, 4). Heart and signed codes:
// the HUD texts that GameTest.cpp reads back.
TEST(TextGeometry, EveryByteTakesItsCellAndItsGlyph) {
    std::vector<Vector2> positions, uvs;
    buildTextGeometry("AA", 15, 100, 12, positions, uvs);
    const std::vector<Vector2> cell = {{15, 112}, {15, 100}, {27, 112}, {27, 100}, {27, 112}, {15, 100}};
    ASSERT_EQ(positions.size() + uvs.size(), 24u);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_TRUE(positions[i].x == cell[i % 6].x + (i < 6 ? 0 : 12) && positions[i].y == cell[i % 6].y) << i;
        EXPECT_TRUE(uvs[i].x == (cell[i % 6].x == 15 ? 0.0625f : 0.125f) && uvs[i].y == (cell[i % 6].y == 112 ? 0.25f : 0.3125f)) << i;
    }
    buildTextGeometry("AB", 2147483000, 2147483000, 1000, positions, uvs);
    for (const Vector2& p : positions) EXPECT_TRUE(p.x > 2.0e9f && p.y > 2.0e9f) << "a line near the int range wrapped";
}
