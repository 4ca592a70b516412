#include "geometry/TerrainGrid.h"

#include "gpu/FatalError.h"
#include "gpu/ImageSource.h"

#include <cmath>
#include <fstream>

namespace {

constexpr float kUvRepeats = 10.0f;  // texture tiles across the grid in each direction

[[noreturn]] void failHeightmap(const std::string& source, const std::string& reason) {
    fatalError({"Failed to load heightmap " + source, reason});
}

// Why a picture of width x height pixels is too large for a grid, or empty.
std::string pixelCountProblem(long long width, long long height) {
    const long long pixelCount = width * height;
    if (pixelCount <= TerrainGrid::maxVertices) return {};
    return "It has " + std::to_string(pixelCount) + " pixels, more than the " +
           std::to_string(TerrainGrid::maxVertices) + " that 16-bit indices can address";
}

// Fills map from source; on failure gives false with the reason.
bool decode(const ImageSource& source, TerrainGrid::Heightmap& map, std::string& reason) {
    const FREE_IMAGE_FORMAT fif = source.format();
    if (fif == FIF_UNKNOWN) reason = "Its image format is unknown";
    else if (!FreeImage_FIFSupportsReading(fif)) reason = "Its image format cannot be read";
    if (!reason.empty()) return false;

    // The header first: a file that claims a huge picture is refused before
    // its pixels are allocated.
    if (const BitmapPtr header = source.load(fif, FIF_LOAD_NOPIXELS))
        reason = pixelCountProblem(FreeImage_GetWidth(header.get()), FreeImage_GetHeight(header.get()));
    if (!reason.empty()) return false;
    const BitmapPtr bitmap = source.loadWhole(fif, reason);
    if (!bitmap) return false;

    const unsigned char* bits = FreeImage_GetBits(bitmap.get());
    map.width = static_cast<int>(FreeImage_GetWidth(bitmap.get()));
    map.height = static_cast<int>(FreeImage_GetHeight(bitmap.get()));
    const unsigned int bpp = FreeImage_GetBPP(bitmap.get());
    if (!bits || map.width == 0 || map.height == 0) reason = "The image has no pixels";
    else if (map.width < 2 || map.height < 2)
        reason = "It has " + std::to_string(map.width) + " x " + std::to_string(map.height) +
                 " pixels; the ground needs at least 2 x 2";
    else if (bpp != 8 && bpp != 24)
        reason = "It has " + std::to_string(bpp) + " bits per pixel; only 8 and 24 are supported";
    if (!reason.empty()) return false;

    map.bytesPerPixel = static_cast<int>(bpp / 8);
    map.pitch = static_cast<int>(FreeImage_GetPitch(bitmap.get()));
    map.pixels.assign(bits, bits + static_cast<size_t>(map.pitch) * map.height);
    return true;
}

// The fraction i / (count - 1) of the way across, 0 for a single row or column.
float fraction(int i, int count) {
    if (count < 2) return 0.0f;
    return static_cast<float>(i) / static_cast<float>(count - 1);
}

}  // namespace

TerrainGrid::Heightmap TerrainGrid::loadHeightmap(const char* path) {
    if (!std::ifstream(path, std::ios::binary).is_open()) failHeightmap(path, "The file cannot be opened");
    Heightmap map;
    map.source = path;
    std::string reason;
    if (!decode(ImageSource::file(path), map, reason)) failHeightmap(path, reason);
    return map;
}

bool TerrainGrid::decodeHeightmap(const unsigned char* data, size_t size, Heightmap& map, std::string& reason) {
    return decode(ImageSource::memory(data, size), map, reason);
}

std::string TerrainGrid::problemWith(const Heightmap& map) {
    if (map.width <= 0 || map.height <= 0) return "The image has no pixels";
    if (map.bytesPerPixel < 1 || map.bytesPerPixel > 4)
        return "Its pixels are " + std::to_string(map.bytesPerPixel) + " bytes wide; 1 to 4 are supported";
    std::string tooLarge = pixelCountProblem(map.width, map.height);
    if (!tooLarge.empty()) return tooLarge;
    const long long rowBytes = static_cast<long long>(map.width) * map.bytesPerPixel;
    const long long needed = static_cast<long long>(map.pitch) * (map.height - 1) + rowBytes;
    if (map.pitch < rowBytes || static_cast<long long>(map.pixels.size()) < needed)
        return "Its pixel rows are shorter than its width";
    return {};
}

float TerrainGrid::sampleHeight(const unsigned char* pixel, int bytesPerPixel) {
    if (bytesPerPixel < 1 || bytesPerPixel > 4) return 0.0f;
    uint32_t value = 0;
    for (int b = bytesPerPixel - 1; b >= 0; --b) value = (value << 8) | pixel[b];
    switch (bytesPerPixel) {
    case 1: return static_cast<float>(value) / 255.0f;
    case 2: return static_cast<float>(value) / 65535.0f;
    case 3: return static_cast<float>(value) / 16777215.0f;
    default: return static_cast<float>(value) * (1.0f / 4294967296.0f);
    }
}

TerrainGrid::TerrainGrid(const char* heightmapPath, float spacing, float heightScale)
    : TerrainGrid(loadHeightmap(heightmapPath), spacing, heightScale) {}

TerrainGrid::TerrainGrid(const Heightmap& heightmap, float spacing, float heightScale)
    : spacing(spacing), heightScale(heightScale) {
    const std::string problem = problemWith(heightmap);
    if (!problem.empty()) failHeightmap(heightmap.source, problem);
    buildVertices(heightmap);
    buildIndices();
    computeNormals();
}

void TerrainGrid::buildVertices(const Heightmap& heightmap) {
    width = heightmap.width;
    depth = heightmap.height;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(depth);
    positions.assign(count, Vector3{});
    normals.assign(count, Vector3{});
    uvs.assign(count, Vector2{});

    const float extentX = spacing * static_cast<float>(width - 1);
    const float extentZ = spacing * static_cast<float>(depth - 1);
    for (int r = 0; r < depth; ++r) {
        const unsigned char* row = heightmap.pixels.data() + static_cast<size_t>(r) * heightmap.pitch;
        for (int c = 0; c < width; ++c) {
            const float h = sampleHeight(row + c * heightmap.bytesPerPixel, heightmap.bytesPerPixel);
            const size_t i = static_cast<size_t>(r) * width + c;
            positions[i] = {fraction(c, width) * extentX - extentX * 0.5f, h * heightScale,
                            fraction(r, depth) * extentZ - extentZ * 0.5f};
            uvs[i] = {fraction(r, depth) * kUvRepeats, fraction(c, width) * kUvRepeats};
        }
    }
}

void TerrainGrid::buildIndices() {
    indices.clear();
    if (width < 2 || depth < 2) return;
    indices.reserve(static_cast<size_t>(width - 1) * (depth - 1) * 6);
    const uint16_t w = static_cast<uint16_t>(width);
    for (int r = 0; r + 1 < depth; ++r) {
        for (int c = 0; c + 1 < width; ++c) {
            const uint16_t i = static_cast<uint16_t>(r * width + c);
            indices.insert(indices.end(), {i, static_cast<uint16_t>(i + w + 1), static_cast<uint16_t>(i + 1)});
            indices.insert(indices.end(), {i, static_cast<uint16_t>(i + w), static_cast<uint16_t>(i + w + 1)});
        }
    }
}

void TerrainGrid::computeNormals() {
    for (size_t k = 0; k + 2 < indices.size(); k += 3) {
        const uint16_t a = indices[k], b = indices[k + 1], c = indices[k + 2];
        const Vector3 n = cross(positions[b] - positions[a], positions[c] - positions[a]);
        const float len = length(n);
        if (len == 0.0f) continue;
        const Vector3 unit = n * (1.0f / len);
        for (uint16_t v : {a, b, c}) normals[v] = normals[v] + unit;
    }
    // A vertex that no triangle touches keeps (0, 0, 0) instead of 0 / 0.
    for (Vector3& n : normals)
        if (length(n) > 0.0f) n = normalize(n);
}

float TerrainGrid::groundHeightAt(const Vector3& point) const {
    if (width < 2 || depth < 2) return lowestHeight;

    const auto& l = toLocal.m;
    const float lx = l[0][0] * point.x + l[1][0] * point.y + l[2][0] * point.z + l[3][0];
    const float lz = l[0][2] * point.x + l[1][2] * point.y + l[2][2] * point.z + l[3][2];
    const float inverseSpacing = 1.0f / spacing;
    const float fx = inverseSpacing * (static_cast<float>(width - 1) * spacing * 0.5f + lx);
    const float fz = inverseSpacing * (static_cast<float>(depth - 1) * spacing * 0.5f + lz);

    // Compared as floats first, so that a huge or NaN coordinate never
    // reaches the integer conversion.
    const float cellX = std::floor(fx), cellZ = std::floor(fz);
    if (!(cellX >= 0.0f && cellX + 1.0f < static_cast<float>(width))) return lowestHeight;
    if (!(cellZ >= 0.0f && cellZ + 1.0f < static_cast<float>(depth))) return lowestHeight;
    const int ix = static_cast<int>(cellX), iz = static_cast<int>(cellZ);

    const float tx = fx - static_cast<float>(ix), tz = fz - static_cast<float>(iz);
    const Vector3& p00 = positions[static_cast<size_t>(iz) * width + ix];
    const Vector3& p10 = positions[static_cast<size_t>(iz) * width + ix + 1];
    const Vector3& p01 = positions[static_cast<size_t>(iz + 1) * width + ix];
    const Vector3& p11 = positions[static_cast<size_t>(iz + 1) * width + ix + 1];

    // The cell's two triangles meet on the diagonal from p00 to p11.
    const Vector3 q = (tx > tz) ? p00 + (p10 - p00) * tx + (p11 - p10) * tz
                                : p00 + (p11 - p01) * tx + (p01 - p00) * tz;

    const auto& w = toWorld.m;
    return w[0][1] * q.x + w[1][1] * q.y + w[2][1] * q.z + w[3][1];
}
