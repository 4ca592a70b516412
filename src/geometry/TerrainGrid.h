#pragma once
// The ground as a regular grid of heights taken from a greyscale image,
// built without GL (Terrain adds the buffers for drawing).
//
// Usage:
//   TerrainGrid grid(defaultHeightmapPath, 0.06f, 2.0f);  // ends the process on a bad file
//   float y = grid.groundHeightAt(Vector3{x, 0.0f, z});    // lowestHeight outside the grid
//
//   TerrainGrid::Heightmap map;                           // or pixels made in memory:
//   map.source = "test"; map.width = 2; map.height = 2;
//   map.bytesPerPixel = 1; map.pitch = 4; map.pixels = {...};  // height x pitch bytes
//   TerrainGrid small(map, 0.5f, 1.0f);
//
// Invariants after construction: vertex r * width + c is column c of pixel
// row r (row 0 is the bottom row of the picture); positions, uvs and normals
// hold width * depth entries; the grid is centred on the origin in x and z
// and spans spacing * (width - 1) by spacing * (depth - 1); indices hold
// six entries per cell, two triangles counter-clockwise seen from +y;
// normals are unit length wherever a triangle touches the vertex.

#include "math/Matrix4.h"
#include "math/Vector.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

constexpr const char* defaultHeightmapPath = "Models/heightmap2.bmp";

class TerrainGrid {
public:
    // Pixel rows as FreeImage stores them: bottom row first, each row pitch
    // bytes long, so rows may end in padding.
    struct Heightmap {
        std::string source;  // names the image in error messages
        int width = 0;
        int height = 0;
        int bytesPerPixel = 0;
        int pitch = 0;
        std::vector<unsigned char> pixels;
    };

    // Most pixels a heightmap may have, since the indices are 16-bit.
    static constexpr int maxVertices = 65536;
    // What groundHeightAt answers where there is no ground.
    static constexpr float lowestHeight = std::numeric_limits<float>::lowest();

    // Decodes a whole 8-bit or 24-bit image of at least 2 x 2 pixels; any
    // other file ends the process.
    static Heightmap loadHeightmap(const char* path);
    // The same from the bytes of a file, without ending the process: false,
    // with the reason loadHeightmap would give, for a picture it refuses.
    static bool decodeHeightmap(const unsigned char* data, size_t size, Heightmap& map, std::string& reason);
    // Why heightmap is no usable grid (see the constructor), or empty.
    static std::string problemWith(const Heightmap& heightmap);
    // The pixel's first bytesPerPixel bytes as a little-endian unsigned
    // value scaled to [0, 1]; 0 for a size other than 1 to 4.
    static float sampleHeight(const unsigned char* pixel, int bytesPerPixel);

    TerrainGrid(const char* heightmapPath, float spacing, float heightScale);
    // Ends the process when heightmap is not a usable grid: no pixels, a
    // pixel size other than 1 to 4 bytes, more than maxVertices pixels, or
    // fewer bytes than its size says.
    TerrainGrid(const Heightmap& heightmap, float spacing, float heightScale);

    // The height of the drawn surface under point (only x and z count), in
    // the grid's own frame, or lowestHeight outside the grid, on its far
    // edges, and for a grid of fewer than two rows or columns.
    float groundHeightAt(const Vector3& point) const;

    std::vector<uint16_t> indices;
    std::vector<Vector3> positions;
    std::vector<Vector2> uvs;
    std::vector<Vector3> normals;
    int width = 0;   // vertices per row
    int depth = 0;   // rows
    float spacing = 0.0f;
    float heightScale = 0.0f;
    Matrix4 toWorld;  // identity
    Matrix4 toLocal;  // identity

protected:
    void buildVertices(const Heightmap& heightmap);
    void buildIndices();
    void computeNormals();
};
