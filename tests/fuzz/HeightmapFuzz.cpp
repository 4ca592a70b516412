// Heightmap decoding and grid building on arbitrary image bytes: what the
// decoder accepts always makes a grid, and the grid keeps its shape.
#include "geometry/TerrainGrid.h"
#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr float kSpacing = 0.06f;  // as the game builds its terrain
constexpr float kHeightScale = 2.0f;

bool isFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TerrainGrid::Heightmap map;
    std::string reason;
    if (!TerrainGrid::decodeHeightmap(data, size, map, reason)) {
        fuzzCheck(!reason.empty(), "a refused picture has a reason");
        return 0;
    }
    map.source = "fuzz input";
    fuzzCheck(TerrainGrid::problemWith(map).empty(), "a decoded heightmap is a usable grid");

    const TerrainGrid grid(map, kSpacing, kHeightScale);
    const size_t vertices = static_cast<size_t>(grid.width) * static_cast<size_t>(grid.depth);
    fuzzCheck(grid.positions.size() == vertices && grid.normals.size() == vertices && grid.uvs.size() == vertices,
              "one position, normal and uv per pixel");
    fuzzCheck(grid.indices.size() == (grid.width > 1 && grid.depth > 1 ? (grid.width - 1) * (grid.depth - 1) * 6u : 0u),
              "six indices per cell");
    for (uint16_t index : grid.indices) fuzzCheck(index < vertices, "indices name vertices of the grid");
    for (const Vector3& p : grid.positions)
        fuzzCheck(isFinite(p) && p.y >= 0.0f && p.y <= kHeightScale, "heights lie within the height scale");
    for (const Vector3& n : grid.normals) {
        const float len = length(n);
        fuzzCheck(len == 0.0f || std::fabs(len - 1.0f) < 1e-3f, "normals are unit length or zero");
    }
    for (const Vector3& p : grid.positions) {
        const float h = grid.groundHeightAt(p);
        fuzzCheck(h == TerrainGrid::lowestHeight || (h >= -1e-3f && h <= kHeightScale + 1e-3f),
                  "the ground under a vertex lies within the height scale");
    }
    return 0;
}
