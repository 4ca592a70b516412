#pragma once
// Pictures in memory and their files. Pixel (x, y) counts y from the BOTTOM
// row, as FreeImage stores scanlines and as texture coordinate v runs, so
// v = (y + 0.5) / height. Channels are floats in [0, 1], clamped on saving.

#include "Color.h"

#include <string>
#include <vector>

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);

class RgbImage {
public:
    RgbImage(int width, int height);

    int width() const { return w; }
    int height() const { return h; }
    Color& at(int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; }
    const Color& at(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }

    // Each of these ends the generator with a message if the file cannot be written.
    void saveJpeg(const std::string& path, int quality) const;
    void saveBmp(const std::string& path) const;
    void savePng(const std::string& path) const;

private:
    int w, h;
    std::vector<Color> pixels;
};

// An 8-bit greyscale BMP (a palettised image with a grey ramp palette).
void saveGreyBmp(const std::string& path, int width, int height, const std::vector<unsigned char>& bottomUpRows);

// Prints the message and ends the generator with status 1.
[[noreturn]] void failGeneration(const std::string& message);
