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

bool fits(FIBITMAP* image, unsigned maxSide) {
    return FreeImage_GetWidth(image) <= maxSide && FreeImage_GetHeight(image) <= maxSide;
}

// Does the header promise a picture the driver takes? A broken or hostile
// header can claim billions of pixels, so this is asked before decoding.
bool headerFits(const ImageSource& source, FREE_IMAGE_FORMAT format, unsigned maxSide) {
    const BitmapPtr header = source.load(format, FIF_LOAD_NOPIXELS);
    return !header || fits(header.get(), maxSide);  // no header-only load: the decoded picture decides
}

}  // namespace

BitmapPtr decodeTextureImage(const ImageSource& source, unsigned maxSide) {
    const FREE_IMAGE_FORMAT format = source.format();
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format) || !headerFits(source, format, maxSide))
        return nullptr;
    std::string unusedReason;  // a texture that fails samples black, without a message
    BitmapPtr image = source.loadWhole(format, unusedReason);
    return image && fits(image.get(), maxSide) ? toBgr24(std::move(image)) : nullptr;
}
