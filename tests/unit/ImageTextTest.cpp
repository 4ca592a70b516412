// Pictures cut short, read from a file and from memory alike, and the
// vertices of a line of text. What the game does with them: the rows of
// tests/gl/bad-inputs.txt.
#include "gpu/ImageSource.h"
#include "gpu/TextGeometry.h"
#include "support/Harness.h"

#include <cstring>
#include <map>
#include <tuple>

namespace {

// A picture of pseudo-random pixels in the given format, by default 200 x 120
// so that run-length packets stay short and the file outgrows the reader's
// 64 KiB window.
std::string noise(const TempDir& dir, FREE_IMAGE_FORMAT format, int flags, int width = 200, int height = 120) {
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    uint32_t state = 12345;
    for (int r = 0; r < height; ++r)
        for (int i = 0; i < width * 3; ++i) FreeImage_GetScanLine(bitmap, r)[i] = static_cast<BYTE>((state = state * 1664525u + 1013904223u) >> 24);
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

std::string bigEndian(uint32_t word) { return {char(word >> 24), char(word >> 16), char(word >> 8), char(word)}; }

// A PNG chunk: length, type, data and the checksum of type and data, or a
// wrong one when broken.
std::string pngChunk(const std::string& type, const std::string& data, bool broken) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : type + data)
        for (int bit = 0; bit < 8; ++bit, byte >>= 1) crc = (crc ^ byte) & 1 ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    return bigEndian(static_cast<uint32_t>(data.size())) + type + data + bigEndian(~crc ^ (broken ? 1u : 0u));
}

}  // namespace

// FreeImage decodes a PNG's first run of pixel chunks and never what follows
// it. Each layout is the 9 x 5 picture's own chunks rearranged: Z is an IDAT
// chunk with all of its compressed pixels, a and b with their first and second
// half, 0 an empty one, t a text chunk, C an unknown critical chunk (which
// libpng refuses), E the closing IEND; "!" breaks a chunk's checksum, "~" cuts
// the file halfway through it. An empty reason: it loads, with the pixels of
// the whole picture.
TEST(ImageSource, OnlyTheFirstRunOfPixelChunksIsDecoded) {
    TempDir dir;
    const std::string whole = noise(dir, FIF_PNG, 0, 9, 5);
    std::string head, pixels;  // signature and IHDR; the data of every IDAT chunk
    for (size_t at = 8; at < whole.size();) {
        size_t length = 0;
        for (size_t i = at; i < at + 4; ++i) length = length << 8 | static_cast<unsigned char>(whole[i]);
        const std::string type = whole.substr(at + 4, 4);
        if (type == "IHDR") head = whole.substr(0, at + 12 + length);
        if (type == "IDAT") pixels += whole.substr(at + 8, length);
        at += 12 + length;
    }
    ASSERT_FALSE(head.empty() || pixels.empty());
    const std::map<char, std::pair<std::string, std::string>> chunks = {
        {'Z', {"IDAT", pixels}}, {'a', {"IDAT", pixels.substr(0, pixels.size() / 2)}}, {'b', {"IDAT", pixels.substr(pixels.size() / 2)}},
        {'0', {"IDAT", ""}}, {'t', {"tEXt", std::string("Comment\0between the runs", 24)}}, {'C', {"QmZz", "abc"}}, {'E', {"IEND", ""}}};
    const std::string cut = "The file ends before its last chunk", damaged = "A chunk of its pixels fails its checksum",
                      undecodable = "FreeImage could not decode it";
    const BitmapPtr reference = ImageSource::memory(reinterpret_cast<const unsigned char*>(whole.data()), whole.size()).load(FIF_PNG, 0);
    ASSERT_TRUE(reference);
    for (const auto& [layout, reason] : {
        std::pair<std::string, std::string>{"a b E", ""}, {"Z t b! E", ""}, {"Z C Z E", ""}, {"Z t Z t E", ""}, {"a t b E", undecodable},
        {"a! b E", damaged}, {"a b~", cut}, {"a b", cut}, {"Z t b", cut},
        {"Z 0 E", ""}, {"0 Z E", ""}, {"0 t Z E", undecodable}, {"Z 0! E", damaged}}) {
        std::string bytes = head;
        for (const std::string& piece : split(layout, " ")) {
            const auto& [type, data] = chunks.at(piece[0]);
            const std::string chunk = pngChunk(type, data, piece.back() == '!');
            bytes += piece.back() == '~' ? chunk.substr(0, chunk.size() / 2) : chunk;
        }
        EXPECT_EQ(reasonFor(bytes, dir), reason) << layout;
        if (!reason.empty()) continue;
        const BitmapPtr image = ImageSource::memory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()).load(FIF_PNG, 0);
        ASSERT_TRUE(image) << layout;
        for (int row = 0; row < 5; ++row)
            EXPECT_EQ(0, std::memcmp(FreeImage_GetScanLine(image.get(), row), FreeImage_GetScanLine(reference.get(), row), 27)) << layout << " row " << row;
    }
}

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
