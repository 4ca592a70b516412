#pragma once
// Where FreeImage reads a picture from: a file, or bytes already in memory.
// The loaders take their pictures through this one interface, so that the
// bytes of a file decode the same way from memory, with the same checks
// (which is how the fuzz tests feed them). A memory source borrows its bytes,
// which must outlive it; a bitmap it gives out is the caller's and unloads
// itself.
//
// FreeImage decodes what it can of a damaged file and hands back a picture
// partly made up: the rows of a JPEG cut short come back grey (the decoder
// says so only through FreeImage's message callback), those of a BMP cut
// short black, without a word. loadWhole counts both as failures, so that no
// caller draws or walks on invented pixels.

#include <FreeImage.h>

#include <cstddef>
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
    // header), or null.
    BitmapPtr load(FREE_IMAGE_FORMAT format, int flags) const;
    // The whole picture, or null with reason saying why: it did not decode,
    // the decoder complained, or a BMP ends before its last pixel row.
    BitmapPtr loadWhole(FREE_IMAGE_FORMAT format, std::string& reason) const;

private:
    ImageSource(const char* path, const unsigned char* data, size_t size, FIMEMORY* bytes)
        : path(path), data(data), size(size), bytes(bytes) {}

    // Is this an uncompressed BMP whose bytes end before the last pixel row
    // its header promises? Compressed and unusual headers are left to FreeImage.
    bool bmpCutShort() const;

    const char* path;           // null for a memory source
    const unsigned char* data;  // the borrowed bytes of a memory source
    size_t size;                // how many there are
    FIMEMORY* bytes;            // FreeImage's handle on them; null for a file source
};
