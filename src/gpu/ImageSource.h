#pragma once
// Where FreeImage reads a picture from: a file, or bytes already in memory.
// The loaders take their pictures through this one interface, so that the
// bytes of a file decode the same way from memory, with the same checks
// (which is how the fuzz tests feed them). A source borrows its path or its
// bytes, which must outlive it; a bitmap it gives out is the caller's and
// unloads itself.
//
// FreeImage decodes what it can of a damaged file and hands back a picture
// partly made up: the rows of a JPEG cut short come back grey, those of a BMP
// cut short black. loadWhole counts both as failures, by checking the bytes
// itself, so that no caller draws or walks on invented pixels. FreeImage's
// messages decide nothing: it sends them about harmless oddities too, such as
// a marker it does not know, in pictures it decoded whole.
//
// Two formats cut short are worse. libpng believes the length of a PNG chunk
// it has not read yet and allocates that much first, up to 2 GiB for a few
// stray bytes. For a run-length TGA whose pixels would start past the end of
// the file, FreeImage hands back a broken bitmap that crashes at first use.
// So neither load hands FreeImage a PNG or a TGA whose bytes end before their
// last chunk or pixel; a TGA cut short later would otherwise come back with
// invented pixels, like a BMP.
//
// FreeImage 3.18 as Debian 13 builds it frees a PNG's row table twice when
// libpng fails on a chunk after the pixels (an unknown critical chunk, a bad
// checksum, a chunk out of place): its compiler drops the reset of that
// pointer between the free and the error's long jump. So a PNG's pixels are
// decoded from its bytes up to the end of its first run of IDAT chunks, then
// a closing IEND chunk: what follows the pixels (text, time stamps, which the
// game never reads) is never decoded. A damaged IDAT chunk, which libpng
// would refuse, is refused before FreeImage sees it.

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct BitmapUnloader {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapUnloader>;

class ImageSource {
public:
    static ImageSource file(const char* path);
    static ImageSource memory(const unsigned char* data, size_t size);
    ~ImageSource();
    ImageSource(ImageSource&& other) noexcept;
    ImageSource(const ImageSource&) = delete;
    ImageSource& operator=(const ImageSource&) = delete;
    ImageSource& operator=(ImageSource&&) = delete;

    // The format by the content first and, for a file, by its name second;
    // FIF_UNKNOWN when neither tells.
    FREE_IMAGE_FORMAT format() const;
    // The picture decoded with flags (FIF_LOAD_NOPIXELS reads only its
    // header), or null; null too for a PNG or TGA cut short, or a PNG whose
    // pixels fail their checksum.
    BitmapPtr load(FREE_IMAGE_FORMAT format, int flags) const;
    // The whole picture, or null with reason saying why: it did not decode,
    // a BMP or TGA ends before its last pixel, a PNG before its last chunk
    // or its pixels fail their checksum, or a JPEG ends before its end marker.
    BitmapPtr loadWhole(FREE_IMAGE_FORMAT format, std::string& reason) const;

private:
    ImageSource(const char* path, const unsigned char* data, size_t size, FIMEMORY* bytes)
        : path(path), data(data), size(size), bytes(bytes) {}

    // FreeImage's decode of the bytes, unchecked: as they are, but a PNG's
    // pixels only up to the end of its first run of IDAT chunks.
    BitmapPtr decode(FREE_IMAGE_FORMAT format, int flags) const;
    // Is this an uncompressed BMP whose bytes end before the last pixel row
    // its header promises? Compressed and unusual headers are left to FreeImage.
    bool bmpCutShort() const;
    // Is this a JPEG, by its start marker, whose bytes end before its end
    // marker? Bytes after that marker are never read.
    bool jpegCutShort() const;
    // A PNG's chunks, by its signature: do its bytes end inside a chunk or
    // before its IEND chunk; where does its first run of IDAT chunks (its
    // pixels) end, 0 for none; does one of them fail its checksum? All zero
    // for bytes that are no PNG.
    struct PngChunks {
        bool cutShort = false;
        uint64_t pixelsEnd = 0;
        bool pixelsDamaged = false;
    };
    PngChunks pngChunks() const;
    // Is this a TGA of a kind FreeImage reads whose bytes end before its last
    // pixel, plain or packed? Also true for one shorter than its header.
    bool tgaCutShort() const;
    // Why this format's bytes must not reach FreeImage, as a reason line, or
    // empty when they may.
    std::string unfitForDecoder(FREE_IMAGE_FORMAT format) const;

    const char* path;           // null for a memory source
    const unsigned char* data;  // the borrowed bytes of a memory source
    size_t size;                // how many there are
    FIMEMORY* bytes;            // FreeImage's handle on them; null for a file source
};
