#include "Island.h"

#include "Image.h"
#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace {

// Land is the union of rounded strokes from (ax, az) to (bx, bz) of the given radius.
struct Stroke {
    float ax, az, bx, bz, radius;
};

const Stroke kLand[] = {
    {-5.6f, 0.2f, -5.6f, 0.2f, 1.35f},   // start plateau
    {-5.6f, 0.2f, -5.3f, 3.2f, 1.0f},    // west arm
    {-5.3f, 3.2f, -1.5f, 3.45f, 0.95f},  // land bridge along z = 3.2 ...
    {-1.5f, 3.45f, 1.8f, 3.35f, 0.95f},
    {1.8f, 3.35f, 4.7f, 2.9f, 1.0f},     // ... to the goal shore
    {4.7f, 2.9f, 5.3f, 0.0f, 1.15f},     // goal shore along x = 5
    {5.3f, 0.0f, 4.9f, -2.6f, 1.1f},
    {4.9f, -2.6f, 2.0f, -3.8f, 0.9f},    // southern arm, ending short of the start
    {2.0f, -3.8f, -0.8f, -3.9f, 0.8f},
    {1.6f, -0.8f, 1.6f, -0.8f, 0.55f},   // islet in the lagoon
    {-3.0f, -3.4f, -3.0f, -3.4f, 0.5f},  // islet in the southern channel
};

// Round hills added on top of the gentle noise: centre, height, radius.
struct Hill {
    float x, z, height, radius;
};

const Hill kHills[] = {{-6.2f, -0.7f, 0.22f, 0.8f}, {5.2f, -1.0f, 0.16f, 0.8f}, {0.9f, 3.3f, 0.12f, 0.6f}};

constexpr float kWaterline = 1.4f;     // terrain height of the water surface
constexpr float kShoreRise = 0.32f;    // how far the land rises above the waterline inland
constexpr float kSeabedSlope = 0.55f;  // height lost per unit of distance out to sea
constexpr float kSeabed = 0.35f;       // height of the open sea floor
constexpr float kBlend = 0.4f;         // how softly neighbouring strokes merge
// Toward the walls of the sky box the floor falls to the lowest height, so
// that the deep sea meets the box's deep sea colour with no shallows showing.
constexpr float kWallX = 5.9f, kWallZ = 5.52f;
constexpr float kDeepAtWall = 0.2f;    // distance from a wall where the floor is lowest
constexpr float kDeepFrom = 1.8f;      // distance from a wall where it starts to fall
constexpr int kNoisePeriod = 64;

float strokeDistance(const Stroke& s, float x, float z) {
    const float dx = s.bx - s.ax, dz = s.bz - s.az;
    const float lengthSquared = dx * dx + dz * dz;
    const float t = lengthSquared > 0.0f ? std::clamp(((x - s.ax) * dx + (z - s.az) * dz) / lengthSquared, 0.0f, 1.0f)
                                         : 0.0f;
    return std::hypot(x - (s.ax + t * dx), z - (s.az + t * dz)) - s.radius;
}

float smoothMin(float a, float b) {
    const float h = std::clamp(0.5f + 0.5f * (b - a) / kBlend, 0.0f, 1.0f);
    return b + (a - b) * h - kBlend * h * (1.0f - h);
}

// Signed distance to the coast: negative on land, positive at sea.
float coastDistance(const Noise& noise, float x, float z) {
    float d = 1e9f;
    for (const Stroke& s : kLand) d = smoothMin(d, strokeDistance(s, x, z));
    return d + 0.12f * noise.fractal(x * 0.8f + 20.0f, z * 0.8f + 20.0f, kNoisePeriod, 3);
}

float hills(const Noise& noise, float x, float z) {
    float h = 0.2f * noise.fractal(x * 0.45f + 30.0f, z * 0.45f + 30.0f, kNoisePeriod, 4);
    for (const Hill& hill : kHills) {
        const float r2 = ((x - hill.x) * (x - hill.x) + (z - hill.z) * (z - hill.z)) / (hill.radius * hill.radius);
        h += hill.height * std::exp(-r2);
    }
    return h;
}

}  // namespace

float islandHeight(float x, float z) {
    static const Noise noise(3);
    const float d = coastDistance(noise, x, z);
    if (d > 0.0f) {
        const float wall = std::min(kWallX - std::fabs(x), kWallZ - std::fabs(z));
        const float floor = (kSeabed + 0.08f * noise.fractal(x * 1.5f, z * 1.5f, kNoisePeriod, 2)) *
                            smoothstep(kDeepAtWall, kDeepFrom, wall);
        return std::max(kWaterline - kSeabedSlope * d, floor);
    }
    const float inland = -d;
    const float h = kWaterline + kShoreRise * smoothstep(0.0f, 0.9f, inland) +
                    hills(noise, x, z) * smoothstep(0.2f, 1.6f, inland);
    return std::min(h, heightmapScale);
}

std::vector<unsigned char> heightPixels(int columns, int rows, float originX, float originZ) {
    std::vector<unsigned char> pixels(static_cast<size_t>(columns) * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const float h = islandHeight(originX + c * heightmapSpacing, originZ + r * heightmapSpacing);
            pixels[static_cast<size_t>(r) * columns + c] =
                static_cast<unsigned char>(std::lround(clamp01(h / heightmapScale) * 255.0f));
        }
    return pixels;
}

std::vector<unsigned char> heightmapPixels() {
    return heightPixels(heightmapWidth, heightmapDepth, heightmapOriginX, heightmapOriginZ);
}

void writeHeightmap(const std::string& path) {
    saveGreyBmp(path, heightmapWidth, heightmapDepth, heightmapPixels());
}
