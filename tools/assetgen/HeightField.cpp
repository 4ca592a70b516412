#include "HeightField.h"

#include <cmath>

HeightField::HeightField(int size, const std::function<float(float u, float v)>& height)
    : n(size), heights(static_cast<size_t>(size) * size) {
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) heights[static_cast<size_t>(y) * n + x] = height((x + 0.5f) / n, (y + 0.5f) / n);
}

float HeightField::at(int x, int y) const {
    x = ((x % n) + n) % n;
    y = ((y % n) + n) % n;
    return heights[static_cast<size_t>(y) * n + x];
}

RgbImage HeightField::normalMap(float strength) const {
    RgbImage image(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float nx = -slopeX(x, y) * strength, ny = -slopeY(x, y) * strength;
            const float inv = 1.0f / std::sqrt(nx * nx + ny * ny + 1.0f);
            image.at(x, y) = {nx * inv * 0.5f + 0.5f, ny * inv * 0.5f + 0.5f, inv * 0.5f + 0.5f};
        }
    return image;
}

RgbImage paintPicture(int size, const std::function<Color(int x, int y, float u, float v)>& colour) {
    RgbImage image(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) image.at(x, y) = colour(x, y, (x + 0.5f) / size, (y + 0.5f) / size);
    return image;
}
