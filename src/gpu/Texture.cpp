#include "gpu/Texture.h"

#include "gpu/ImageFile.h"

#include <FreeImage.h>

#include <string>

namespace {

// The upload below reads three bytes per pixel, blue first.
constexpr unsigned RGB_BITS_PER_PIXEL = 24;
// Larger pictures count as missing; every image the game ships is at most 1024.
constexpr unsigned MAX_SIDE = 8192;

// The image format, by the file's content first and by its name second.
FREE_IMAGE_FORMAT readableFormat(const char* path) {
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
    if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(path);
    if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) return FIF_UNKNOWN;
    return format;
}

// Takes ownership of image and returns it as 24-bit BGR, or null when it has
// no such form. Grey, palettised, 16-bit and alpha images are all converted;
// images with more than 8 bits per channel go through the standard 8-bit type.
FIBITMAP* toBgr24(FIBITMAP* image) {
    if (FreeImage_GetImageType(image) == FIT_BITMAP && FreeImage_GetBPP(image) == RGB_BITS_PER_PIXEL)
        return image;

    FIBITMAP* converted = FreeImage_ConvertTo24Bits(image);
    if (!converted) {
        FIBITMAP* standard = FreeImage_ConvertToStandardType(image, TRUE);
        if (standard) {
            converted = FreeImage_ConvertTo24Bits(standard);
            FreeImage_Unload(standard);
        }
    }
    FreeImage_Unload(image);
    return converted;
}

// Does the file's header promise a picture small enough to decode? A broken
// or hostile header can claim billions of pixels.
bool hasSaneSize(FREE_IMAGE_FORMAT format, const char* path) {
    FIBITMAP* header = FreeImage_Load(format, path, FIF_LOAD_NOPIXELS);
    if (!header) return true;  // no header-only load for this format; the full load decides
    const unsigned width = FreeImage_GetWidth(header), height = FreeImage_GetHeight(header);
    FreeImage_Unload(header);
    return width <= MAX_SIDE && height <= MAX_SIDE;
}

// The whole decoded picture as 24-bit BGR with rows bottom-up, or null.
FIBITMAP* loadBgr24(const char* path) {
    const FREE_IMAGE_FORMAT format = readableFormat(path);
    if (format == FIF_UNKNOWN || !hasSaneSize(format, path)) return nullptr;
    std::string unusedReason;  // a texture that fails samples black, without a message
    FIBITMAP* image = loadWholeImage(format, path, unusedReason);
    return image ? toBgr24(image) : nullptr;
}

}  // namespace

Texture::Texture(const char* path) {
    glGenTextures(1, &textureHandle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureHandle);

    // FreeImage pads each row to 4 bytes, which is GL's default unpack alignment.
    if (FIBITMAP* image = loadBgr24(path)) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, static_cast<GLsizei>(FreeImage_GetWidth(image)),
                     static_cast<GLsizei>(FreeImage_GetHeight(image)), 0, GL_BGR, GL_UNSIGNED_BYTE,
                     FreeImage_GetBits(image));
        FreeImage_Unload(image);
        glGenerateMipmap(GL_TEXTURE_2D);
    }

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

Texture::~Texture() { glDeleteTextures(1, &textureHandle); }
