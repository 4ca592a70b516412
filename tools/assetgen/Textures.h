#pragma once
// The surface pictures of the world, each tileable in both directions and
// written as a 24-bit JPEG file. Normal maps are tangent space, RGB = n * 0.5
// + 0.5 with x along u and y along v (toward the top of the picture).

#include <string>

void writeRock(const std::string& path);                  // grey-brown rock with lichen, the terrain
void writeGround(const std::string& colourPath, const std::string& normalPath);  // soil and pebbles
void writeCarpet(const std::string& path);                // a woven carpet with a diamond pattern
void writeBrickNormals(const std::string& path);          // running-bond bricks
void writeWaterColour(const std::string& path);           // blue-green water with caustic light
void writeWaterNormals(const std::string& path);          // small ripples
void writeWaterDistortion(const std::string& path);       // red and green noise around 0.5
