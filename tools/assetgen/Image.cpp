#include "Image.h"

#include <FreeImage.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

BYTE toByte(float v) { return static_cast<BYTE>(std::lround(clamp01(v) * 255.0f)); }

FIBITMAP* toBitmap(const RgbImage& image) {
    FIBITMAP* bitmap = FreeImage_Allocate(image.width(), image.height(), 24);
    if (!bitmap) failGeneration("Out of memory for a " + std::to_string(image.width()) + " x " +
                                std::to_string(image.height()) + " picture");
    for (int y = 0; y < image.height(); ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < image.width(); ++x) {
            const Color& c = image.at(x, y);
            row[3 * x + FI_RGBA_RED] = toByte(c.r);
            row[3 * x + FI_RGBA_GREEN] = toByte(c.g);
            row[3 * x + FI_RGBA_BLUE] = toByte(c.b);
        }
    }
    return bitmap;
}

void saveBitmap(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, const std::string& path, int flags) {
    const bool saved = FreeImage_Save(format, bitmap, path.c_str(), flags);
    FreeImage_Unload(bitmap);
    if (!saved) failGeneration("Could not write " + path);
}

}  // namespace

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smoothstep(float edge0, float edge1, float v) {
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

RgbImage::RgbImage(int width, int height) : w(width), h(height), pixels(static_cast<size_t>(width) * height) {}

void RgbImage::saveJpeg(const std::string& path, int quality) const {
    saveBitmap(toBitmap(*this), FIF_JPEG, path, quality | JPEG_SUBSAMPLING_444 | JPEG_OPTIMIZE);
}

void RgbImage::saveBmp(const std::string& path) const { saveBitmap(toBitmap(*this), FIF_BMP, path, BMP_DEFAULT); }

void RgbImage::savePng(const std::string& path) const {
    saveBitmap(toBitmap(*this), FIF_PNG, path, PNG_Z_BEST_COMPRESSION);
}

void saveGreyBmp(const std::string& path, int width, int height, const std::vector<unsigned char>& bottomUpRows) {
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 8);
    if (!bitmap) failGeneration("Out of memory for the heightmap");
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < width; ++x) row[x] = bottomUpRows[static_cast<size_t>(y) * width + x];
    }
    saveBitmap(bitmap, FIF_BMP, path, BMP_DEFAULT);
}

void failGeneration(const std::string& message) {
    std::fprintf(stderr, "assetgen: %s\n", message.c_str());
    std::exit(1);
}
