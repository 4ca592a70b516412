#pragma once
// Where FreeImage reads a picture from: a file, or bytes already in memory.
// The loaders take their pictures through this one interface, so that the
// bytes of a file decode the same way from memory, with the same checks
// (which is how the fuzz tests feed them). A memory source borrows its bytes,
// which must outlive it; a bitmap it gives out is the caller's and unloads
// itself.

#include <FreeImage.h>

#include <cstddef>
#include <memory>

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

private:
    ImageSource(const char* path, FIMEMORY* bytes) : path(path), bytes(bytes) {}

    const char* path;  // null for a memory source
    FIMEMORY* bytes;   // null for a file source
};
