#include "gpu/ImageSource.h"

ImageSource ImageSource::file(const char* path) { return ImageSource(path, nullptr); }

ImageSource ImageSource::memory(const unsigned char* data, size_t size) {
    // FreeImage only reads through this handle; its parameter is not const.
    const DWORD length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    return ImageSource(nullptr, FreeImage_OpenMemory(const_cast<BYTE*>(data), length));
}

ImageSource::~ImageSource() {
    if (bytes) FreeImage_CloseMemory(bytes);
}

ImageSource::ImageSource(ImageSource&& other) noexcept : path(other.path), bytes(other.bytes) {
    other.bytes = nullptr;
}

FREE_IMAGE_FORMAT ImageSource::format() const {
    if (!path) return bytes ? FreeImage_GetFileTypeFromMemory(bytes, 0) : FIF_UNKNOWN;
    const FREE_IMAGE_FORMAT byContent = FreeImage_GetFileType(path, 0);
    return byContent != FIF_UNKNOWN ? byContent : FreeImage_GetFIFFromFilename(path);
}

BitmapPtr ImageSource::load(FREE_IMAGE_FORMAT format, int flags) const {
    if (path) return BitmapPtr(FreeImage_Load(format, path, flags));
    if (!bytes) return nullptr;
    // Every load starts at the first byte, whatever an earlier one read.
    FreeImage_SeekMemory(bytes, 0, SEEK_SET);
    return BitmapPtr(FreeImage_LoadFromMemory(format, bytes, flags));
}
