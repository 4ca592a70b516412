#include "Textures.h"

#include "HeightField.h"
#include "Noise.h"

#include <cmath>

namespace {

constexpr int kSize = 512;
constexpr int kNormalSize = 256;
constexpr int kColourQuality = 90;
constexpr int kNormalQuality = 95;
constexpr int kPebbleCells = 9;

// Light from the upper left, as a multiplier for a picture's colour.
float relief(const HeightField& h, int x, int y, float strength) {
    return 1.0f + (h.slopeX(x, y) - h.slopeY(x, y)) * strength;
}

float rockHeight(const Noise& noise, float u, float v) { return noise.fractal(u * 4, v * 4, 4, 6, 0.55f); }

// Thin dark cracks where a second noise crosses zero.
float rockCrack(const Noise& noise, float u, float v) {
    const float ridge = 1.0f - std::fabs(noise.fractal(u * 3, v * 3, 3, 4, 0.5f));
    return smoothstep(0.955f, 0.99f, ridge);
}

Color rockColour(const Noise& noise, const HeightField& h, int x, int y, float u, float v) {
    const float tint = noise.fractal(u * 2 + 5, v * 2 + 5, 2, 4) * 0.5f + 0.5f;
    Color c = mix(Color{0.47f, 0.45f, 0.42f}, Color{0.56f, 0.47f, 0.37f}, tint);
    const float lichen = smoothstep(0.12f, 0.4f, noise.fractal(u * 5 + 11, v * 5 + 3, 5, 5));
    const float speckle = noise.fractal(u * 64, v * 64, 64, 2) * 0.5f + 0.5f;
    c = mix(c, Color{0.56f, 0.58f, 0.37f}, lichen * (0.3f + 0.4f * speckle));
    c = c * (0.88f + 0.3f * h.at(x, y)) * relief(h, x, y, 12.0f);
    c = c * (1.0f - 0.5f * rockCrack(noise, u, v));
    return c * (0.94f + 0.12f * noise.random(x, y));
}

// Domed pebbles, one around each cellular point, their radius set by the point.
float pebbles(const Noise& noise, float u, float v, uint32_t* stone) {
    const float wx = u * kPebbleCells + 0.2f * noise.fractal(u * 8, v * 8, 8, 2);
    const float wy = v * kPebbleCells + 0.2f * noise.fractal(u * 8 + 4, v * 8 + 4, 8, 2);
    NearbyPoints points = noise.nearbyPoints(wx, wy, kPebbleCells);
    float height = 0.0f;
    for (int i = 0; i < NearbyPoints::count; ++i) {
        const float radius = 0.18f + 0.2f * static_cast<float>(points.id[i] % 97) / 97.0f;
        const float r = points.distance[i] / radius;
        if (r >= 1.0f) continue;
        const float dome = (1.0f - r * r) * (0.6f + 0.4f * radius / 0.38f);
        if (dome > height) {
            height = dome;
            *stone = points.id[i];
        }
    }
    return height;
}

float groundHeight(const Noise& noise, float u, float v) {
    uint32_t stone = 0;
    return pebbles(noise, u, v, &stone) * 0.8f + noise.fractal(u * 8, v * 8, 8, 5) * 0.25f;
}

Color groundColour(const Noise& noise, const HeightField& h, int x, int y, float u, float v) {
    uint32_t stone = 0;
    const float pebble = pebbles(noise, u, v, &stone);
    const float soilTint = noise.fractal(u * 6 + 3, v * 6, 6, 4) * 0.5f + 0.5f;
    const Color soil = mix(Color{0.33f, 0.24f, 0.16f}, Color{0.46f, 0.35f, 0.23f}, soilTint);
    const float stoneTint = static_cast<float>((stone >> 8) % 101) / 101.0f;
    const Color rock = mix(Color{0.50f, 0.47f, 0.43f}, Color{0.70f, 0.64f, 0.55f}, stoneTint);
    const Color c = mix(soil, rock, smoothstep(0.0f, 0.12f, pebble));
    return c * relief(h, x, y, 5.0f) * (0.92f + 0.16f * noise.random(x, y));
}

// Concentric diamond bands within each of 4 x 4 pattern cells.
Color carpetPattern(float u, float v) {
    const float a = std::fabs(std::fmod(u * 4, 1.0f) - 0.5f) * 2, b = std::fabs(std::fmod(v * 4, 1.0f) - 0.5f) * 2;
    const float ring = a + b;
    const Color red{0.55f, 0.07f, 0.09f}, navy{0.10f, 0.13f, 0.34f}, gold{0.82f, 0.62f, 0.24f},
        cream{0.86f, 0.80f, 0.64f};
    if (ring < 0.22f) return gold;
    if (ring < 0.34f) return navy;
    if (ring < 0.80f) return std::fmod(ring * 10.0f, 1.0f) < 0.12f ? cream : red;
    if (ring < 0.95f) return navy;
    if (ring < 1.05f) return gold;
    return std::max(a, b) > 0.93f ? cream : navy;
}

Color carpetColour(const Noise& noise, int x, int y, float u, float v) {
    const float weave = 0.9f + 0.1f * std::sin(x * 3.14159265f * 0.5f) * std::sin(y * 3.14159265f * 0.5f);
    const float fibres = 0.85f + 0.3f * (noise.fractal(u * 96, v * 96, 96, 2) * 0.5f + 0.5f);
    const float wear = 0.9f + 0.1f * noise.fractal(u * 3, v * 3, 3, 4);
    return carpetPattern(u, v) * (weave * fibres * wear);
}

// Raised bricks, 4 to a row and 8 rows, each row shifted by half a brick.
float brickHeight(const Noise& noise, float u, float v) {
    const float rowF = v * 8, row = std::floor(rowF);
    const float colF = u * 4 + (static_cast<int>(row) % 2 ? 0.5f : 0.0f);
    const float edgeX = std::fabs(std::fmod(colF, 1.0f) - 0.5f) * 2, edgeY = std::fabs(rowF - row - 0.5f) * 2;
    const float toEdge = std::min((1.0f - edgeX) * 128, (1.0f - edgeY) * 64);  // pixels to the mortar
    const float brick = smoothstep(3.0f, 9.0f, toEdge);
    return brick * 6.0f + noise.fractal(u * 32, v * 32, 32, 3) * 0.6f;
}

}  // namespace

void writeRock(const std::string& path) {
    const Noise noise(11);
    const HeightField h(kSize, [&](float u, float v) { return rockHeight(noise, u, v); });
    paintPicture(kSize, [&](int x, int y, float u, float v) { return rockColour(noise, h, x, y, u, v); })
        .saveJpeg(path, kColourQuality);
}

void writeGround(const std::string& colourPath, const std::string& normalPath) {
    const Noise noise(23);
    const HeightField h(kSize, [&](float u, float v) { return groundHeight(noise, u, v); });
    paintPicture(kSize, [&](int x, int y, float u, float v) { return groundColour(noise, h, x, y, u, v); })
        .saveJpeg(colourPath, kColourQuality);
    h.normalMap(8.0f).saveJpeg(normalPath, kNormalQuality);
}

void writeCarpet(const std::string& path) {
    const Noise noise(31);
    paintPicture(kSize, [&](int x, int y, float u, float v) { return carpetColour(noise, x, y, u, v); })
        .saveJpeg(path, kColourQuality);
}

void writeBrickNormals(const std::string& path) {
    const Noise noise(41);
    const HeightField h(kSize, [&](float u, float v) { return brickHeight(noise, u, v); });
    h.normalMap(1.0f).saveJpeg(path, kNormalQuality);
}
