// Pictures cut short, read from a file and from memory alike, and JPEGs that
// only made FreeImage warn. Two formats must be refused before FreeImage sees
// them: libpng allocates whatever a PNG chunk length claims, and FreeImage
// crashes on a run-length TGA whose pixels would start past the end. What the
// game then does: the texture and heightmap rows of docs/bad-inputs.md.
#include "gpu/ImageSource.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A 24-bit picture of pseudo-random pixels, so run-length packets stay short
// and the file is larger than the reader's 64 KiB window.
Bytes noisePicture(const std::string& path, FREE_IMAGE_FORMAT format, int flags) {
    FIBITMAP* bitmap = FreeImage_Allocate(200, 120, 24);
    uint32_t state = 12345;
    for (int r = 0; r < 120; ++r)
        for (int i = 0; i < 200 * 3; ++i) {
            state = state * 1664525u + 1013904223u;
            FreeImage_GetScanLine(bitmap, r)[i] = static_cast<BYTE>(state >> 24);
        }
    EXPECT_TRUE(FreeImage_Save(format, bitmap, path.c_str(), flags)) << path;
    FreeImage_Unload(bitmap);
    std::ifstream in(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The reason loadWhole gives for bytes from memory, checked to be the one it
// gives for the same bytes in a file; empty when the picture loads.
std::string reasonFor(const Bytes& bytes, const TempDir& dir) {
    std::string fromMemory, fromFile;
    const ImageSource memory = ImageSource::memory(bytes.data(), bytes.size());
    const bool memoryLoads = memory.loadWhole(memory.format(), fromMemory) != nullptr;
    const std::string path = dir / "picture";  // the source borrows it
    writeBytes(path, bytes);
    const ImageSource file = ImageSource::file(path.c_str());
    const bool fileLoads = file.loadWhole(file.format(), fromFile) != nullptr;
    EXPECT_EQ(memoryLoads, fileLoads);
    EXPECT_EQ(fromMemory, fromFile);
    return fromMemory;
}

Bytes cut(Bytes bytes, size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

}  // namespace

TEST(ImageSource, PngTgaOrJpegCutShortAnywhereIsRefusedFromFileAndMemory) {
    TempDir dir;
    const struct {
        const char* name;
        Bytes bytes;
        size_t after;  // bytes after the pixels: the IEND chunk, the TGA footer, the JPEG end marker
        const char* reason;
    } pictures[] = {
        {"jpeg", noisePicture(dir / "noise.jpg", FIF_JPEG, JPEG_QUALITYSUPERB | JPEG_SUBSAMPLING_444), 2,
         "The file ends before its end marker"},
        {"png", noisePicture(dir / "noise.png", FIF_PNG, 0), 12, "The file ends before its last chunk"},
        {"plain tga", noisePicture(dir / "noise.tga", FIF_TARGA, 0), 26, "The file ends before its last pixel row"},
        {"packed tga", noisePicture(dir / "packed.tga", FIF_TARGA, TARGA_SAVE_RLE), 26,
         "The file ends before its last pixel row"},
    };
    for (const auto& picture : pictures) {
        ASSERT_GT(picture.bytes.size(), 65536u) << picture.name;
        EXPECT_EQ(reasonFor(picture.bytes, dir), "") << picture.name;
        // Cuts before the last pixel byte, past the first reader window,
        // inside it, and right after the TGA header (inside the JPEG's).
        const size_t lastPixel = picture.bytes.size() - picture.after - 1;
        for (size_t left : {lastPixel, size_t{70000}, size_t{1000}, size_t{18}})
            EXPECT_EQ(reasonFor(cut(picture.bytes, picture.bytes.size() - left), dir), picture.reason)
                << picture.name << " cut to " << left;
    }
}

TEST(ImageSource, ChunkOrPacketsClaimingBytesPastTheEndAreRefusedUnread) {
    TempDir dir;
    // A few stray bytes before the IEND chunk that claim a 1.9 GB text chunk.
    Bytes png = noisePicture(dir / "noise.png", FIF_PNG, 0);
    const unsigned char stray[] = {0x71, 0x6b, 0x74, 0x6b, 't', 'E', 'X', 't', 'd', 'a', 't', 0x82};
    png.insert(png.end() - 12, std::begin(stray), std::end(stray));
    EXPECT_EQ(reasonFor(png, dir), "The file ends before its last chunk");

    // A run-length grey TGA whose 6-byte ID field ends past its 18 bytes.
    const Bytes tga = {6, 0, 11, 0xbf, 0xb6, 0xff, 0xff, 0xff, 3, 0, 0, 0, 0x41, 0x10, 2, 0, 8, 0};
    EXPECT_EQ(reasonFor(tga, dir), "The file ends before its last pixel row");
}

// FreeImage warns about harmless oddities of a JPEG that it still decodes
// whole; a warning alone must not refuse the picture.
TEST(ImageSource, JpegWithAStrayMarkerOrStrayBytesDecodesWhole) {
    TempDir dir;
    const Bytes jpeg = noisePicture(dir / "noise.jpg", FIF_JPEG, 0);
    const auto with = [&](size_t at, Bytes extra) {
        Bytes bytes = jpeg;
        bytes.insert(bytes.begin() + static_cast<long>(at), extra.begin(), extra.end());
        return bytes;
    };
    const Bytes reservedMarker = with(2, {0xff, 0xf0, 0, 4, 0, 0});     // "Unsupported marker type 0xf0"
    const Bytes bytesBeforeTheEnd = with(jpeg.size() - 2, {1, 2, 3});  // "3 extraneous bytes before marker 0xd9"
    const Bytes bytesAfterTheEnd = with(jpeg.size(), {0xff, 0xd8, 0xff, 'x'});  // no warning; the end marker counts
    std::string reason;
    const BitmapPtr clean = ImageSource::memory(jpeg.data(), jpeg.size()).loadWhole(FIF_JPEG, reason);
    ASSERT_TRUE(clean);
    const size_t pixelBytes = size_t{FreeImage_GetPitch(clean.get())} * FreeImage_GetHeight(clean.get());
    for (const Bytes* bytes : {&reservedMarker, &bytesBeforeTheEnd, &bytesAfterTheEnd}) {
        EXPECT_EQ(reasonFor(*bytes, dir), "") << bytes->size() - jpeg.size() << " bytes more";
        const BitmapPtr image = ImageSource::memory(bytes->data(), bytes->size()).loadWhole(FIF_JPEG, reason);
        ASSERT_TRUE(image) << reason;
        EXPECT_EQ(std::memcmp(FreeImage_GetBits(image.get()), FreeImage_GetBits(clean.get()), pixelBytes), 0);
    }
}
