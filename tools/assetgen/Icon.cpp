#include "Icon.h"

#include "Image.h"

#include <FreeImage.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

const std::vector<int> kThemeIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};
const std::vector<int> kWindowsIconSizes = {16, 24, 32, 48, 64, 256};

namespace {

// Everything in units of the icon's side, v up from its bottom edge.
constexpr float kRadius = 0.48f;        // the round frame's outer edge
constexpr float kFrameWidth = 0.045f;   // its dark rim, which keeps the edge visible on light and dark panels
constexpr float kHorizon = 0.42f;
constexpr float kHillPeak = 0.27f;      // the island's height above the horizon, at its centre
constexpr float kHillCentre = 0.40f;
constexpr float kHillWidth = 0.17f;
constexpr float kBeach = 0.03f;         // the sand above the water line
constexpr float kSunX = 0.67f, kSunY = 0.71f, kSunRadius = 0.095f;
constexpr int kSamples = 4;             // per pixel and axis: the edges are smoothed over 16 samples
const Color kFrame{0.04f, 0.12f, 0.22f};
const Color kSkyLow{0.62f, 0.84f, 0.98f}, kSkyHigh{0.13f, 0.42f, 0.84f};
const Color kSun{1.0f, 0.88f, 0.45f};
const Color kGrass{0.22f, 0.56f, 0.20f}, kHillTop{0.12f, 0.38f, 0.14f}, kSand{0.88f, 0.80f, 0.55f};
const Color kSeaNear{0.02f, 0.16f, 0.33f}, kSeaFar{0.07f, 0.40f, 0.60f};

// The colour at (u, v), and whether the point lies on the icon at all.
bool paint(float u, float v, Color& colour) {
    const float du = u - 0.5f, dv = v - 0.5f, r = std::sqrt(du * du + dv * dv);
    if (r > kRadius) return false;
    if (r > kRadius - kFrameWidth) {
        colour = kFrame;
        return true;
    }
    const float hill = kHorizon + kHillPeak * std::exp(-std::pow((u - kHillCentre) / kHillWidth, 2.0f)) - 0.01f;
    if (v < kHorizon) {
        colour = mix(kSeaNear, kSeaFar, v / kHorizon);
    } else if (v < hill) {
        colour = v < kHorizon + kBeach ? kSand : mix(kGrass, kHillTop, (v - kHorizon) / kHillPeak);
    } else if (std::hypot(u - kSunX, v - kSunY) < kSunRadius) {
        colour = kSun;
    } else {
        colour = mix(kSkyLow, kSkyHigh, (v - kHorizon) / (1.0f - kHorizon));
    }
    return true;
}

BYTE toByte(float v) { return static_cast<BYTE>(std::lround(clamp01(v) * 255.0f)); }

void writePng(int size, const std::string& path) {
    FIBITMAP* bitmap = FreeImage_Allocate(size, size, 32);
    if (!bitmap) failGeneration("Out of memory for a " + std::to_string(size) + " pixel icon");
    for (int y = 0; y < size; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < size; ++x) {
            Color sum;  // premultiplied by coverage
            int covered = 0;
            for (int i = 0; i < kSamples * kSamples; ++i) {
                Color c;
                const float u = (x + (i % kSamples + 0.5f) / kSamples) / size, v = (y + (i / kSamples + 0.5f) / kSamples) / size;
                if (paint(u, v, c)) sum = sum + c, ++covered;
            }
            const Color c = covered ? sum * (1.0f / covered) : Color{};
            BYTE* pixel = row + 4 * x;
            pixel[FI_RGBA_RED] = toByte(c.r);
            pixel[FI_RGBA_GREEN] = toByte(c.g);
            pixel[FI_RGBA_BLUE] = toByte(c.b);
            pixel[FI_RGBA_ALPHA] = toByte(static_cast<float>(covered) / (kSamples * kSamples));
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_Z_BEST_COMPRESSION);
    FreeImage_Unload(bitmap);
    if (!saved) failGeneration("Could not write " + path);
}

void put16(std::string& out, unsigned v) { out += static_cast<char>(v & 0xff), out += static_cast<char>(v >> 8 & 0xff); }
void put32(std::string& out, uint32_t v) { put16(out, v & 0xffff), put16(out, v >> 16); }

// An .ico file whose images are PNG files, as Windows reads them since Vista:
// a six-byte header, a 16-byte entry per image, then the images.
void writeIco(const std::vector<std::pair<int, std::string>>& pngs, const std::string& path) {
    std::string header, images;
    put16(header, 0), put16(header, 1), put16(header, static_cast<unsigned>(pngs.size()));
    for (const auto& [size, png] : pngs) {
        std::ifstream in(png, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        if (bytes.empty()) failGeneration("Could not read " + png);
        header += static_cast<char>(size % 256), header += static_cast<char>(size % 256);  // 0 stands for 256
        header += '\0', header += '\0';
        put16(header, 1), put16(header, 32);
        put32(header, static_cast<uint32_t>(bytes.size()));
        put32(header, static_cast<uint32_t>(6 + 16 * pngs.size() + images.size()));
        images += bytes;
    }
    std::ofstream out(path, std::ios::binary);
    out << header << images;
    if (!out.flush()) failGeneration("Could not write " + path);
}

}  // namespace

void writeIcons(const std::string& folder) {
    std::vector<std::pair<int, std::string>> windows;
    for (int size : kThemeIconSizes) {
        const std::string side = std::to_string(size), dir = folder + "/hicolor/" + side + "x" + side + "/apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        if (error) failGeneration("Could not create " + dir + ": " + error.message());
        writePng(size, dir + "/quellmoor.png");
        for (int wanted : kWindowsIconSizes)
            if (wanted == size) windows.emplace_back(size, dir + "/quellmoor.png");
    }
    writeIco(windows, folder + "/quellmoor.ico");
}
