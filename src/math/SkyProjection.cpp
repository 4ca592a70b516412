#include "math/SkyProjection.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

Vector2 skyPictureCoordinate(const Vector3& direction) {
    const double x = direction.x, y = direction.y, z = direction.z;
    const double azimuth = std::atan2(x, -z);
    const double elevation = std::atan2(y, std::sqrt(x * x + z * z));
    return {static_cast<float>(0.5 + azimuth / (2.0 * kPi)), static_cast<float>(0.5 + elevation / kPi)};
}

Vector3 skyDirection(float u, float v) {
    const double azimuth = (static_cast<double>(u) - 0.5) * 2.0 * kPi;
    const double elevation = (std::clamp(static_cast<double>(v), 0.0, 1.0) - 0.5) * kPi;
    const double level = std::cos(elevation);
    return {static_cast<float>(std::sin(azimuth) * level), static_cast<float>(std::sin(elevation)),
            static_cast<float>(-std::cos(azimuth) * level)};
}
