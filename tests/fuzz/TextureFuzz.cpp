// Texture decoding and conversion on arbitrary image bytes: an accepted
// picture is 24-bit BGR within the size limit, and every byte the upload
// reads (rows padded to 4 bytes) is there to read.
#include "gpu/TextureImage.h"
#include "FuzzCheck.h"

#include <cstdint>

namespace {

constexpr unsigned kUnpackAlignment = 4;  // GL's default, which the game keeps

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BitmapPtr image = decodeTextureImage(ImageSource::memory(data, size));
    if (!image) return 0;
    const unsigned width = FreeImage_GetWidth(image.get()), height = FreeImage_GetHeight(image.get());
    fuzzCheck(FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24,
              "a decoded texture is 24-bit");
    fuzzCheck(width <= maxTextureSide && height <= maxTextureSide, "a decoded texture is within the size limit");
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t pitch = (rowBytes + kUnpackAlignment - 1) / kUnpackAlignment * kUnpackAlignment;
    fuzzCheck(FreeImage_GetPitch(image.get()) == pitch, "rows are padded as GL unpacks them");
    if (width == 0 || height == 0) return 0;

    const unsigned char* bits = FreeImage_GetBits(image.get());
    fuzzCheck(bits != nullptr, "a decoded texture has pixels");
    unsigned sum = 0;
    const size_t uploaded = pitch * (height - 1) + rowBytes;
    for (size_t i = 0; i < uploaded; ++i) sum += bits[i];
    volatile unsigned sink = sum;  // keeps the reads
    (void)sink;
    return 0;
}
