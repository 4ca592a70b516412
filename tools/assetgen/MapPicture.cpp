#include "MapPicture.h"

#include "GlyphRasteriser.h"
#include "Image.h"
#include "Island.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSize = 512;
// The map shows a square of the island a little larger than the heightmap.
constexpr int kSamples = 256;  // height samples on each side
constexpr float kOrigin = -7.65f;  // world x and z of the first sample
constexpr float kExtent = (kSamples - 1) * heightmapSpacing;  // world units across the map
constexpr float kLoseHeight = 1.3f;
constexpr float kWaterline = 1.4f;
const Color kStartColour{0.9f, 0.1f, 0.1f};
const Color kGoalColour{1.0f, 0.85f, 0.1f};
const Color kRouteColour{1.0f, 0.55f, 0.15f};
const Color kWhite{1, 1, 1};

float toPictureX(float x) { return (x - kOrigin) / kExtent * kSize; }
float toPictureY(float z) { return (kOrigin + kExtent - z) / kExtent * kSize; }  // -z up

// Terrain height at picture pixel (x, y), interpolated between heightmap pixels.
float heightAt(const std::vector<unsigned char>& pixels, float px, float py) {
    const float c = px / kSize * (kSamples - 1), r = (1.0f - py / kSize) * (kSamples - 1);
    const int c0 = std::clamp(static_cast<int>(c), 0, kSamples - 2);
    const int r0 = std::clamp(static_cast<int>(r), 0, kSamples - 2);
    const float tc = c - c0, tr = r - r0;
    auto at = [&](int cc, int rr) { return pixels[static_cast<size_t>(rr) * kSamples + cc] / 255.0f * heightmapScale; };
    const float bottom = at(c0, r0) + (at(c0 + 1, r0) - at(c0, r0)) * tc;
    const float top = at(c0, r0 + 1) + (at(c0 + 1, r0 + 1) - at(c0, r0 + 1)) * tc;
    return bottom + (top - bottom) * tr;
}

Color terrainColour(float h, float shade) {
    if (h < kLoseHeight) return mix(Color{0.04f, 0.13f, 0.33f}, Color{0.16f, 0.42f, 0.60f}, smoothstep(0.3f, 1.3f, h));
    if (h < kWaterline) return Color{0.40f, 0.66f, 0.72f};
    const Color land = mix(Color{0.45f, 0.58f, 0.32f}, Color{0.56f, 0.52f, 0.44f}, smoothstep(1.6f, 1.95f, h));
    return mix(Color{0.86f, 0.79f, 0.56f}, land, smoothstep(1.42f, 1.5f, h)) * shade;
}

void paintTerrain(RgbImage& image) {
    const std::vector<unsigned char> pixels = heightPixels(kSamples, kSamples, kOrigin, kOrigin);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const float h = heightAt(pixels, x + 0.5f, y + 0.5f);
            const float slope = heightAt(pixels, x + 1.5f, y + 1.5f) - heightAt(pixels, x - 0.5f, y - 0.5f);
            image.at(x, y) = terrainColour(h, 1.0f + slope * 6.0f);
        }
}

void plot(RgbImage& image, int x, int y, Color c, float alpha = 1.0f) {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return;
    image.at(x, y) = mix(image.at(x, y), c, alpha);
}

// A line between world points, dashed when dash > 0 (pixels on, pixels off).
void drawLine(RgbImage& image, float x0, float z0, float x1, float z1, Color c, int width, int dash) {
    const float ax = toPictureX(x0), ay = toPictureY(z0), bx = toPictureX(x1), by = toPictureY(z1);
    const int steps = static_cast<int>(std::hypot(bx - ax, by - ay)) + 1;
    for (int i = 0; i <= steps; ++i) {
        if (dash > 0 && (i / dash) % 2 == 1) continue;
        const float t = static_cast<float>(i) / steps;
        for (int w = 0; w < width; ++w)
            for (int v = 0; v < width; ++v)
                plot(image, static_cast<int>(ax + (bx - ax) * t) + w - width / 2,
                     static_cast<int>(ay + (by - ay) * t) + v - width / 2, c);
    }
}

void drawDisc(RgbImage& image, float x, float z, float radius, Color c) {
    const float cx = toPictureX(x), cy = toPictureY(z);
    for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; ++y)
        for (int px = static_cast<int>(cx - radius) - 1; px <= static_cast<int>(cx + radius) + 1; ++px)
            plot(image, px, y, c, clamp01(radius + 0.5f - std::hypot(px + 0.5f - cx, y + 0.5f - cy)));
}

// Text with its baseline starting at picture pixel (x, y), y counted from the bottom.
void drawText(RgbImage& image, GlyphRasteriser& font, const std::u32string& text, int x, int y, Color c) {
    for (char32_t ch : text) {
        const Glyph g = font.render(ch);
        for (int row = 0; row < g.rows; ++row)
            for (int gx = 0; gx < g.width; ++gx)
                plot(image, x + g.left + gx, y + g.top - 1 - row, c, g.at(gx, row) / 255.0f);
        x += g.advance;
    }
}

void drawMarks(RgbImage& image) {
    const float fieldX = 5.8f, fieldZ = 5.5f;
    drawLine(image, -fieldX, -fieldZ, fieldX, -fieldZ, kWhite, 1, 4);
    drawLine(image, fieldX, -fieldZ, fieldX, fieldZ, kWhite, 1, 4);
    drawLine(image, fieldX, fieldZ, -fieldX, fieldZ, kWhite, 1, 4);
    drawLine(image, -fieldX, fieldZ, -fieldX, -fieldZ, kWhite, 1, 4);
    drawLine(image, 5.0f, -fieldZ, 5.0f, fieldZ, kGoalColour, 3, 0);
    drawLine(image, -5.5f, 0.0f, -5.5f, 3.2f, kRouteColour, 2, 3);
    drawLine(image, -5.5f, 3.2f, 5.0f, 3.2f, kRouteColour, 2, 3);
    drawDisc(image, -5.5f, 0.0f, 6.0f, kStartColour);
}

void drawLabels(RgbImage& image) {
    GlyphRasteriser font(symbolFonts());
    font.setPixelSize(15);
    drawText(image, font, U"START (-5.5, 0)", static_cast<int>(toPictureX(-5.3f)), static_cast<int>(toPictureY(-0.45f)), kWhite);
    drawText(image, font, U"GOAL x = 5", static_cast<int>(toPictureX(3.05f)), static_cast<int>(toPictureY(-5.95f)), kGoalColour);
    drawText(image, font, U"route", static_cast<int>(toPictureX(-3.6f)), static_cast<int>(toPictureY(2.0f)), kRouteColour);
    drawText(image, font, U"+x \u2192", 440, 12, kWhite);
    drawText(image, font, U"+z \u2193", 12, 12, kWhite);
    drawText(image, font, U"\u2191 -z (first view)", 12, 492, kWhite);
}

}  // namespace

void writeMapPicture(const std::string& path) {
    RgbImage image(kSize, kSize);
    paintTerrain(image);
    drawMarks(image);
    drawLabels(image);
    image.savePng(path);
}
