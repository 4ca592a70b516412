#pragma once
// The island the game is played on, as terrain heights.
//
// World layout (the player starts at (-5.5, 0) looking toward -z): a start
// plateau around (-5.6, 0.2); from it a land bridge runs toward +z to
// z = 3.2 and then along z = 3.2 toward +x to the goal shore, which
// stretches along x = 5 from z = -3.9 to z = 4.2; a second arm curls back
// from the goal shore toward -x along z = -3.8 and ends at x = -1.6, short
// of the start; a lagoon fills the middle (on z = 0 it is water from
// x = -4.05 to 3.87), with an islet at (1.6, -0.8) off that line, and
// another islet sits in the channel at (-3.0, -3.4).

#include <string>
#include <vector>

// The terrain covers the inside of the sky box (x within +-5.9, z within
// +-5.52) and a little more; ground outside it could never be seen but would
// cost every pass its triangles. The width is a multiple of 4, so that the
// 8-bit rows need no padding.
constexpr float heightmapSpacing = 0.06f;  // world units between pixels
constexpr int heightmapWidth = 200;        // pixels per row: x within +-5.97
constexpr int heightmapDepth = 188;        // rows: z within +-5.61
constexpr float heightmapOriginX = -0.5f * heightmapSpacing * (heightmapWidth - 1);  // world x of column 0
constexpr float heightmapOriginZ = -0.5f * heightmapSpacing * (heightmapDepth - 1);  // world z of row 0
constexpr float heightmapScale = 2.0f;     // terrain height of a full-intensity pixel

// Terrain height (0 to heightmapScale) at world (x, z).
float islandHeight(float x, float z);

// Heights as 8-bit pixels on a grid of heightmapSpacing from world (originX,
// originZ), bottom row first (row r at world z = originZ + r * spacing).
std::vector<unsigned char> heightPixels(int columns, int rows, float originX, float originZ);

// The heightmap's pixels.
std::vector<unsigned char> heightmapPixels();

// An 8-bit greyscale BMP of heightmapPixels.
void writeHeightmap(const std::string& path);
