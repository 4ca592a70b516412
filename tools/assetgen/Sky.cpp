#include "Sky.h"

#include "Image.h"
#include "Noise.h"
#include "SkyLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// The world places the box at (0, 1, 0) scaled by kBoxScale; the picture is
// drawn as seen from kEyeHeight, the usual eye height of a player on the
// island, so that the painted horizon stays at eye level on the walls.
const Vec3 kBoxScale{5.9f, 6.0f, 5.52f};
constexpr float kBoxCentreY = 1.0f;
constexpr float kEyeHeight = -0.1f;

// Roughly towards the light at (2, 2, 2), kept off the corner where two walls meet.
const Vec3 kSunDirection = normalized({1.0f, 1.0f, 0.6f});
const Color kZenith{0.11f, 0.29f, 0.66f};
const Color kSkyHorizon{0.74f, 0.84f, 0.94f};
const Color kHaze{0.83f, 0.88f, 0.93f};
const Color kSunGlow{1.0f, 0.88f, 0.66f};
const Color kCloudLit{1.0f, 0.99f, 0.97f};
const Color kCloudShade{0.58f, 0.63f, 0.72f};
const Color kDeepSea{0.13f, 0.29f, 0.41f};
const Color kFarSea{0.38f, 0.53f, 0.64f};
constexpr int kNoisePeriod = 256;
constexpr int kQuality = 92;

float dot3(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 viewDirection(Vec3 boxPoint) {
    const float eyeLocalY = (kEyeHeight - kBoxCentreY) / kBoxScale.y;
    return normalized({boxPoint.x * kBoxScale.x, (boxPoint.y - eyeLocalY) * kBoxScale.y, boxPoint.z * kBoxScale.z});
}

// Cloud cover in [0, 1] and how much of it faces the sun, on a cloud layer
// seen along dir (dir.y > 0).
Color cloudsOver(const Noise& noise, Vec3 dir, Color sky) {
    const float reach = 1.0f / (dir.y + 0.12f);
    const float x = dir.x * reach * 0.9f + 40.0f, z = dir.z * reach * 0.9f + 40.0f;
    const float shape = noise.fractal(x, z, kNoisePeriod, 7, 0.5f);
    // No clouds toward -x: the start stands close to that wall, which is
    // seen at a grazing angle there and would smear any detail.
    const float clear = smoothstep(-0.8f, -0.45f, dir.x);
    const float cover = smoothstep(-0.04f, 0.26f, shape) * smoothstep(0.0f, 0.1f, dir.y) * clear;
    const float towardSun =
        noise.fractal(x + kSunDirection.x * 0.12f, z + kSunDirection.z * 0.12f, kNoisePeriod, 7, 0.5f);
    const float lit = clamp01(0.7f + (shape - towardSun) * 6.0f);
    const Color cloud = mix(kCloudShade, kCloudLit, lit);
    return mix(sky, cloud, cover * 0.92f);
}

Color skyAbove(const Noise& noise, Vec3 dir) {
    const float sun = std::max(dot3(dir, kSunDirection), 0.0f);
    Color sky = mix(kZenith, kSkyHorizon, std::pow(1.0f - dir.y, 3.0f));
    sky = sky + kSunGlow * (0.35f * std::pow(sun, 12.0f));
    sky = cloudsOver(noise, dir, sky);
    const float disc = smoothstep(0.9986f, 0.9993f, sun);
    return mix(sky, Color{1.0f, 0.98f, 0.92f}, disc) + kSunGlow * (0.25f * std::pow(sun, 300.0f));
}

Color seaBelow(const Noise& noise, Vec3 dir) {
    const float depth = -dir.y;
    const float reach = 1.0f / (depth + 0.01f);
    const float x = dir.x * reach + 10.0f, z = dir.z * reach + 10.0f;
    const float waves = noise.fractal(x * 2.5f, z * 9.0f, kNoisePeriod, 4, 0.5f);
    Color sea = mix(kDeepSea, kFarSea, std::pow(1.0f - depth, 8.0f));
    sea = sea * (1.0f + 0.18f * waves);
    const Vec3 mirrored{dir.x, -dir.y, dir.z};
    const float glint = std::pow(std::max(dot3(mirrored, kSunDirection), 0.0f), 40.0f);
    const float sparkle = smoothstep(0.15f, 0.5f, noise.fractal(x * 7.0f, z * 20.0f, kNoisePeriod, 2, 0.5f));
    return sea + kSunGlow * (glint * (0.2f + 0.9f * sparkle));
}

Color skyColor(const Noise& noise, Vec3 dir) {
    const Color base = dir.y >= 0.0f ? skyAbove(noise, dir) : seaBelow(noise, dir);
    const float haze = 1.0f - smoothstep(0.0f, 0.045f, std::fabs(dir.y + 0.004f));
    return mix(base, kHaze, haze * (dir.y >= 0.0f ? 0.75f : 0.45f));
}

}  // namespace

void writeSkyPicture(const std::string& path) {
    const Noise noise(7);
    RgbImage image(skyImageSize, skyImageSize);
    for (int y = 0; y < skyImageSize; ++y)
        for (int x = 0; x < skyImageSize; ++x) {
            const float u = (x + 0.5f) / skyImageSize, v = (y + 0.5f) / skyImageSize;
            image.at(x, y) = skyColor(noise, viewDirection(skyPointAt(u, v)));
        }
    image.saveJpeg(path, kQuality);
}
