#include "Sky.h"

#include "Image.h"
#include "Noise.h"
#include "Vec3.h"

#include "math/SkyProjection.h"

#include <algorithm>
#include <cmath>

namespace {

// Where the light shines from at the start: the world's light at (2, 2, 2)
// is a sun shining toward the origin.
const Vec3 kSunDirection = normalized({1.0f, 1.0f, 1.0f});
const Color kZenith{0.11f, 0.29f, 0.66f};
const Color kSkyHorizon{0.74f, 0.84f, 0.94f};
const Color kHaze{0.80f, 0.86f, 0.92f};
const Color kSunGlow{1.0f, 0.88f, 0.66f};
const Color kCloudLit{1.0f, 0.99f, 0.97f};
const Color kCloudShade{0.58f, 0.63f, 0.72f};
constexpr int kNoisePeriod = 256;
// The far sea must meet the water's own reflection at the walls: at 95 and
// below the compression darkens its red and blue by a level or more (the
// seam test fails at 95); 100 would double the file, which a page downloads.
constexpr int kQuality = 98;

// The far sea is the water surface continued to the horizon as the water's
// shader draws it near the walls of the sky box: its deep colour (a linear
// value there), the mean of its colour texture, a level surface in full sun,
// its Fresnel curve, reflection tint and sun glint, blended over the lit
// shader's deep-sea colour. Other colours are display values, which the
// shaders square to light them.
const Color kDeepWaterLinear{0.02f, 0.20f, 0.30f};
const Color kWaterTexelMean{0.08f, 0.33f, 0.40f};
constexpr float kWaterTextureShare = 0.45f;
const Color kSunLight{1.25f, 1.1625f, 1.0f};
constexpr float kAmbient = 0.3f;
constexpr float kSpecular = 0.3f;
const Color kReflectionTint{0.80f, 0.93f, 1.0f};
constexpr float kMinReflectivity = 0.25f;
constexpr float kMaxReflectivity = 0.85f;
constexpr float kGlintShininess = 160.0f;
constexpr float kGlintStrength = 3.0f;
constexpr float kClearAlpha = 0.6f;
constexpr float kGrazingAlpha = 0.85f;
const Color kDeepSea{0.04f, 0.22f, 0.29f};
// The haze band that softens the horizon, in sine of the elevation.
constexpr float kHazeAbove = 0.05f;
constexpr float kHazeBelow = 0.03f;

float dot3(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Color toLinear(Color c) { return c * c; }
Color toDisplay(Color c) { return {std::sqrt(std::max(c.r, 0.0f)), std::sqrt(std::max(c.g, 0.0f)), std::sqrt(std::max(c.b, 0.0f))}; }

// Haze over a band of the given height (in sine of the elevation) on one
// side of the horizon, up to strength at the horizon itself.
Color horizonHaze(Color c, float height, float band, float strength) {
    const float haze = 1.0f - smoothstep(0.0f, band, std::fabs(height));
    return mix(c, kHaze, haze * haze * strength);
}

// Clouds on a layer seen along dir (dir.y >= 0), lit from the sun's side.
Color cloudsOver(const Noise& noise, Vec3 dir, Color sky) {
    const float reach = 1.0f / (dir.y + 0.12f);
    const float x = dir.x * reach * 0.9f + 40.0f, z = dir.z * reach * 0.9f + 40.0f;
    const float shape = noise.fractal(x, z, kNoisePeriod, 7, 0.5f);
    const float cover = smoothstep(-0.04f, 0.26f, shape) * smoothstep(0.0f, 0.1f, dir.y);
    const float towardSun =
        noise.fractal(x + kSunDirection.x * 0.12f, z + kSunDirection.z * 0.12f, kNoisePeriod, 7, 0.5f);
    const float lit = clamp01(0.7f + (shape - towardSun) * 6.0f);
    return mix(sky, mix(kCloudShade, kCloudLit, lit), cover * 0.92f);
}

Color skyAbove(const Noise& noise, Vec3 dir) {
    const float sun = std::max(dot3(dir, kSunDirection), 0.0f);
    Color sky = mix(kZenith, kSkyHorizon, std::pow(1.0f - dir.y, 3.0f));
    sky = sky + kSunGlow * (0.35f * std::pow(sun, 12.0f));
    sky = cloudsOver(noise, dir, sky);
    const float disc = smoothstep(0.9986f, 0.9993f, sun);
    sky = mix(sky, Color{1.0f, 0.98f, 0.92f}, disc) + kSunGlow * (0.25f * std::pow(sun, 300.0f));
    return horizonHaze(sky, dir.y, kHazeAbove, 0.8f);
}

// The water surface seen along dir (dir.y < 0) far away: its body colour and
// the sky mirrored in it by Fresnel, with the sun's glint.
Color seaBelow(const Noise& noise, Vec3 dir) {
    const float fresnel = std::pow(1.0f + dir.y, 3.0f);
    const Vec3 mirrored{dir.x, -dir.y, dir.z};
    const Color reflection = toLinear(skyAbove(noise, mirrored)) * kReflectionTint;
    const Color light = Color{kAmbient, kAmbient, kAmbient} + kSunLight * ((1.0f - kAmbient) * kSunDirection.y);
    const Color body = mix(kDeepWaterLinear, toLinear(kWaterTexelMean), kWaterTextureShare) * light;
    Color water = mix(body, reflection, kMinReflectivity + (kMaxReflectivity - kMinReflectivity) * fresnel);
    const Vec3 halfway = normalized(kSunDirection - dir);
    const float glint = std::pow(std::max(halfway.y, 0.0f), kGlintShininess) * kGlintStrength;
    water = water + kSunLight * (kSpecular * glint);
    const Color sea = mix(kDeepSea, toDisplay(water), kClearAlpha + (kGrazingAlpha - kClearAlpha) * fresnel);
    return horizonHaze(sea, dir.y, kHazeBelow, 0.6f);
}

Color skyColor(const Noise& noise, Vec3 dir) { return dir.y >= 0.0f ? skyAbove(noise, dir) : seaBelow(noise, dir); }

}  // namespace

void writeSkyPicture(const std::string& path) {
    const Noise noise(7);
    RgbImage image(skyPictureWidth, skyPictureHeight);
    for (int y = 0; y < skyPictureHeight; ++y)
        for (int x = 0; x < skyPictureWidth; ++x) {
            const Vector3 d = skyDirection((x + 0.5f) / skyPictureWidth, (y + 0.5f) / skyPictureHeight);
            image.at(x, y) = skyColor(noise, {d.x, d.y, d.z});
        }
    image.saveJpeg(path, kQuality);
}
