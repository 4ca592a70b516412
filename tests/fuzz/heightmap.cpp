// Heightmap decoding and grid building on any bytes: what the decoder accepts
// always makes a grid of the picture's shape, within the height scale.
#include "FuzzCheck.h"
#include "geometry/TerrainGrid.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TerrainGrid::Heightmap map;
    std::string reason;
    if (!TerrainGrid::decodeHeightmap(data, size, map, reason)) return fuzzCheck(!reason.empty(), "a refused picture has a reason"), 0;
    fuzzCheck(TerrainGrid::problemWith(map).empty(), "a decoded heightmap is a usable grid");
    const TerrainGrid grid(map, 0.06f, 2.0f);  // as the game builds its terrain
    const size_t vertices = size_t(grid.width) * size_t(grid.depth);
    fuzzCheck(grid.positions.size() == vertices && grid.normals.size() == vertices && grid.uvs.size() == vertices &&
                  grid.indices.size() == size_t(grid.width - 1) * size_t(grid.depth - 1) * 6,
              "one position, normal and uv a pixel, six indices a cell");
    for (uint16_t index : grid.indices) fuzzCheck(index < vertices, "indices name vertices of the grid");
    for (size_t i = 0; i < vertices; ++i) {
        const float h = grid.groundHeightAt(grid.positions[i]), n = length(grid.normals[i]);
        fuzzCheck(grid.positions[i].y >= 0.0f && grid.positions[i].y <= 2.0f && (n == 0.0f || std::fabs(n - 1.0f) < 1e-3f), "heights in scale, normals unit");
        fuzzCheck(h == TerrainGrid::lowestHeight || (h >= -1e-3f && h <= 2.001f), "the ground under a vertex lies within the height scale");
    }
    return 0;
}
