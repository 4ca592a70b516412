#include "gpu/TextureImage.h"

namespace {

constexpr unsigned RGB_BITS_PER_PIXEL = 24;

// The picture as 24-bit BGR, or null when it has no such form.
BitmapPtr toBgr24(BitmapPtr image) {
    if (FreeImage_GetImageType(image.get()) == FIT_BITMAP && FreeImage_GetBPP(image.get()) == RGB_BITS_PER_PIXEL)
        return image;
    if (BitmapPtr converted{FreeImage_ConvertTo24Bits(image.get())}) return converted;
    const BitmapPtr standard{FreeImage_ConvertToStandardType(image.get(), TRUE)};
    return BitmapPtr(standard ? FreeImage_ConvertTo24Bits(standard.get()) : nullptr);
}

// Does the header promise a picture small enough to decode? A broken or
// hostile header can claim billions of pixels.
bool hasSaneSize(const ImageSource& source, FREE_IMAGE_FORMAT format) {
    const BitmapPtr header = source.load(format, FIF_LOAD_NOPIXELS);
    if (!header) return true;  // no header-only load for this format; the full load decides
    return FreeImage_GetWidth(header.get()) <= maxTextureSide && FreeImage_GetHeight(header.get()) <= maxTextureSide;
}

}  // namespace

BitmapPtr decodeTextureImage(const ImageSource& source) {
    const FREE_IMAGE_FORMAT format = source.format();
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format) || !hasSaneSize(source, format))
        return nullptr;
    std::string unusedReason;  // a texture that fails samples black, without a message
    BitmapPtr image = source.loadWhole(format, unusedReason);
    return image ? toBgr24(std::move(image)) : nullptr;
}
