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

constexpr int heightmapSize = 256;       // pixels on each side
constexpr float heightmapSpacing = 0.06f;  // world units between pixels
constexpr float heightmapOrigin = -7.65f;  // world x and z of pixel column and row 0
constexpr float heightmapScale = 2.0f;     // terrain height of a full-intensity pixel

// Terrain height (0 to heightmapScale) at world (x, z).
float islandHeight(float x, float z);

// The heightmap pixels, bottom row first (row r at world z = origin + r * spacing).
std::vector<unsigned char> heightmapPixels();

// An 8-bit greyscale BMP of heightmapPixels.
void writeHeightmap(const std::string& path);
