#include "gpu/ImageSource.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

// The Windows BMP header: file header and the start of the info header.
constexpr size_t kBmpHeaderBytes = 54;
constexpr uint32_t kBmpInfoHeaderBytes = 40;
constexpr uint32_t kBmpUncompressed = 0;
constexpr uint32_t kBmpBitFields = 3;

// FreeImage's message callback carries no context pointer, so the load in
// progress leaves its slot here; every load runs on the one thread.
std::string* g_loadMessage = nullptr;

void keepFirstMessage(FREE_IMAGE_FORMAT, const char* message) {
    if (g_loadMessage && g_loadMessage->empty()) *g_loadMessage = message ? message : "";
}

uint32_t littleEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// How many bytes an uncompressed BMP with this header needs, or 0 when the
// header is not one this check understands.
uint64_t bmpBytesNeeded(const unsigned char* header) {
    const uint32_t compression = littleEndian(header + 30, 4);
    if (littleEndian(header + 14, 4) < kBmpInfoHeaderBytes ||
        (compression != kBmpUncompressed && compression != kBmpBitFields))
        return 0;
    // Sizes in 64 bits: a hostile header can claim any width and height.
    const uint64_t width = std::llabs(static_cast<int32_t>(littleEndian(header + 18, 4)));
    const uint64_t height = std::llabs(static_cast<int32_t>(littleEndian(header + 22, 4)));
    const uint64_t bitsPerPixel = littleEndian(header + 28, 2);
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return littleEndian(header + 10, 4) + rowBytes * height;
}

}  // namespace

ImageSource ImageSource::file(const char* path) { return ImageSource(path, nullptr, 0, nullptr); }

ImageSource ImageSource::memory(const unsigned char* data, size_t size) {
    // FreeImage only reads through this handle; its parameter is not const.
    const DWORD length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    return ImageSource(nullptr, data, length, FreeImage_OpenMemory(const_cast<BYTE*>(data), length));
}

ImageSource::~ImageSource() {
    if (bytes) FreeImage_CloseMemory(bytes);
}

ImageSource::ImageSource(ImageSource&& other) noexcept
    : path(other.path), data(other.data), size(other.size), bytes(other.bytes) {
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

BitmapPtr ImageSource::loadWhole(FREE_IMAGE_FORMAT format, std::string& reason) const {
    std::string message;
    g_loadMessage = &message;
    FreeImage_SetOutputMessage(keepFirstMessage);
    BitmapPtr image = load(format, 0);
    FreeImage_SetOutputMessage(nullptr);
    g_loadMessage = nullptr;

    if (!image) {
        reason = "FreeImage could not decode it";
    } else if (!message.empty()) {
        reason = "FreeImage could not decode all of it: " + message;
    } else if (format == FIF_BMP && bmpCutShort()) {
        reason = "The file ends before its last pixel row";
    } else {
        return image;
    }
    return nullptr;
}

bool ImageSource::bmpCutShort() const {
    unsigned char header[kBmpHeaderBytes] = {};
    uint64_t total = size;
    if (path) {
        std::ifstream in(path, std::ios::binary);
        if (!in.read(reinterpret_cast<char*>(header), kBmpHeaderBytes)) return false;
        in.seekg(0, std::ios::end);
        total = static_cast<uint64_t>(in.tellg());
    } else {
        if (!data || size < kBmpHeaderBytes) return false;
        std::memcpy(header, data, kBmpHeaderBytes);
    }
    return total < bmpBytesNeeded(header);
}
