// Texture decoding on any bytes: an accepted picture is 24-bit within the
// size limit, and every byte the upload reads (rows padded to 4) is there.
#include "FuzzCheck.h"
#include "gpu/TextureImage.h"

namespace {
const unsigned kMaxSide = 8192;  // a driver's GL_MAX_TEXTURE_SIZE
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BitmapPtr image = decodeTextureImage(ImageSource::memory(data, size), kMaxSide);
    if (!image) return 0;
    const unsigned width = FreeImage_GetWidth(image.get()), height = FreeImage_GetHeight(image.get());
    fuzzCheck(FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == 24, "a decoded texture is 24-bit");
    fuzzCheck(width <= kMaxSide && height <= kMaxSide && FreeImage_GetPitch(image.get()) == (width * 3 + 3) / 4 * 4,
              "a decoded texture is within the limit, its rows padded as GL unpacks them");
    volatile unsigned sum = 0;  // reads every byte the upload reads
    for (size_t i = 0; height > 0 && i < size_t{FreeImage_GetPitch(image.get())} * (height - 1) + width * 3; ++i) sum += FreeImage_GetBits(image.get())[i];
    return 0;
}
