#include "Textures.h"

#include "HeightField.h"
#include "Noise.h"

#include <cmath>

namespace {

constexpr int kColourSize = 512;
constexpr int kMapSize = 256;
constexpr int kQuality = 95;
constexpr float kDistortion = 0.3f;  // how far the distortion map strays from 0.5

Color waterColour(const Noise& noise, float u, float v) {
    const float depth = noise.fractal(u * 3, v * 3, 3, 4) * 0.5f + 0.5f;
    const Color c = mix(Color{0.04f, 0.24f, 0.34f}, Color{0.08f, 0.38f, 0.44f}, depth);
    const float web = 1.0f - std::fabs(noise.fractal(u * 6 + 2, v * 6 + 7, 6, 3, 0.45f));
    const float caustic = std::pow(web, 10.0f);
    return c + Color{0.22f, 0.34f, 0.32f} * (caustic * 0.6f);
}

float rippleHeight(const Noise& noise, float u, float v) {
    return noise.fractal(u * 8, v * 8, 8, 3, 0.5f) + 0.6f * noise.fractal(u * 16 + 3, v * 16 + 9, 16, 3, 0.5f);
}

}  // namespace

void writeWaterColour(const std::string& path) {
    const Noise noise(53);
    paintPicture(kColourSize, [&](int, int, float u, float v) { return waterColour(noise, u, v); })
        .saveJpeg(path, kQuality);
}

void writeWaterNormals(const std::string& path) {
    const Noise noise(59);
    const HeightField h(kMapSize, [&](float u, float v) { return rippleHeight(noise, u, v); });
    h.normalMap(2.5f).saveJpeg(path, kQuality);
}

void writeWaterDistortion(const std::string& path) {
    const Noise red(61), green(67);
    paintPicture(kMapSize, [&](int, int, float u, float v) {
        return Color{0.5f + kDistortion * red.fractal(u * 4, v * 4, 4, 5),
                     0.5f + kDistortion * green.fractal(u * 4, v * 4, 4, 5), 0.0f};
    }).saveJpeg(path, kQuality);
}
