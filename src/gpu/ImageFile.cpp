#include "gpu/ImageFile.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace {

// The Windows BMP header: file header and the start of the info header.
constexpr std::streamsize kBmpHeaderBytes = 54;
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

// Is this an uncompressed BMP whose file ends before the last pixel row its
// header promises? Compressed and unusual headers are left to FreeImage.
bool bmpCutShort(const char* path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[kBmpHeaderBytes] = {};
    if (!in.read(reinterpret_cast<char*>(header), kBmpHeaderBytes)) return false;
    const uint32_t compression = littleEndian(header + 30, 4);
    if (littleEndian(header + 14, 4) < kBmpInfoHeaderBytes ||
        (compression != kBmpUncompressed && compression != kBmpBitFields))
        return false;

    // Sizes in 64 bits: a hostile header can claim any width and height.
    const uint64_t width = std::llabs(static_cast<int32_t>(littleEndian(header + 18, 4)));
    const uint64_t height = std::llabs(static_cast<int32_t>(littleEndian(header + 22, 4)));
    const uint64_t bitsPerPixel = littleEndian(header + 28, 2);
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    const uint64_t needed = littleEndian(header + 10, 4) + rowBytes * height;
    in.seekg(0, std::ios::end);
    return static_cast<uint64_t>(in.tellg()) < needed;
}

}  // namespace

FIBITMAP* loadWholeImage(FREE_IMAGE_FORMAT format, const char* path, std::string& reason) {
    std::string message;
    g_loadMessage = &message;
    FreeImage_SetOutputMessage(keepFirstMessage);
    FIBITMAP* image = FreeImage_Load(format, path, 0);
    FreeImage_SetOutputMessage(nullptr);
    g_loadMessage = nullptr;

    if (!image) {
        reason = "FreeImage could not decode it";
    } else if (!message.empty()) {
        reason = "FreeImage could not decode all of it: " + message;
    } else if (format == FIF_BMP && bmpCutShort(path)) {
        reason = "The file ends before its last pixel row";
    } else {
        return image;
    }
    if (image) FreeImage_Unload(image);
    return nullptr;
}
