#include "Noise.h"

#include <cmath>

namespace {

constexpr float kTwoPi = 6.2831853f;

int wrap(int i, int period) {
    const int m = i % period;
    return m < 0 ? m + period : m;
}

float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float lerp(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

uint32_t Noise::hash(int x, int y) const {
    uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA6Bu;
    h = (h ^ (h >> 15)) * 0x2C1B3C6Du;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE35u;
    h = (h ^ (h >> 13)) * 0x297A2D39u;
    return h ^ (h >> 16);
}

float Noise::random(int x, int y) const { return static_cast<float>(hash(x, y) >> 8) / 16777216.0f; }

float Noise::gradient(float x, float y, int period) const {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);

    // Dot product of the corner's unit gradient with the offset to the corner.
    auto corner = [&](int cx, int cy) {
        const float angle = random(wrap(x0 + cx, period), wrap(y0 + cy, period)) * kTwoPi;
        return std::cos(angle) * (fx - static_cast<float>(cx)) + std::sin(angle) * (fy - static_cast<float>(cy));
    };
    const float u = fade(fx), v = fade(fy);
    const float bottom = lerp(corner(0, 0), corner(1, 0), u);
    const float top = lerp(corner(0, 1), corner(1, 1), u);
    return lerp(bottom, top, v) * 1.4142135f;
}

float Noise::fractal(float x, float y, int period, int octaves, float gain) const {
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * gradient(x, y, period);
        total += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / total;
}

NearbyPoints Noise::nearbyPoints(float x, float y, int period) const {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    NearbyPoints points{};
    int k = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx, ++k) {
            const uint32_t h = hash(wrap(x0 + dx, period), wrap(y0 + dy, period));
            const float px = static_cast<float>(x0 + dx) + static_cast<float>(h & 0xFFFF) / 65536.0f;
            const float py = static_cast<float>(y0 + dy) + static_cast<float>(h >> 16) / 65536.0f;
            points.distance[k] = std::hypot(px - x, py - y);
            points.id[k] = h;
        }
    return points;
}
