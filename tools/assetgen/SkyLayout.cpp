#include "SkyLayout.h"

namespace {

constexpr float kColumn = 0.25f;
constexpr float kBandLow = 0.5f - skySideHeight / 2.0f;
constexpr float kBandHigh = 0.5f + skySideHeight / 2.0f;
constexpr float kPad = static_cast<float>(skyFacePadding) / static_cast<float>(skyImageSize);

// Wall corners (bottom left seen from inside) and their horizontal axes.
const Vec3 kWallCorner[4] = {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}};
const Vec3 kWallAxis[4] = {{2, 0, 0}, {0, 0, 2}, {-2, 0, 0}, {0, 0, -2}};

SkyFace wall(int column) {
    const float u0 = static_cast<float>(column) * kColumn;
    return {kWallCorner[column], kWallAxis[column], {0, 2, 0}, u0, kBandLow, u0 + kColumn, kBandHigh};
}

}  // namespace

SkyFace skyFace(int index) {
    if (index < 4) return wall(index);
    if (index == 4) return {{-1, 1, -1}, {2, 0, 0}, {0, 0, 2}, kPad, kBandHigh + kPad, kColumn - kPad, 1.0f - kPad};
    return {{-1, -1, 1}, {2, 0, 0}, {0, 0, -2}, kPad, kPad, kColumn - kPad, kBandLow - kPad};
}

Vec3 skyPointAt(float u, float v) {
    const int column = static_cast<int>(u / kColumn) % 4;
    SkyFace face = wall(column);
    if (column == 0 && v > kBandHigh) face = skyFace(4);
    if (column == 0 && v < kBandLow) face = skyFace(5);
    const float s = (u - face.u0) / (face.u1 - face.u0);
    const float t = (v - face.v0) / (face.v1 - face.v0);
    return face.pointAt(s, t);
}
