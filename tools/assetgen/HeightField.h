#pragma once
// A square, periodic height field (texel (x, y), y counted from the bottom
// row like the pictures) and the tangent-space normal map it implies.

#include "Image.h"

#include <functional>
#include <vector>

class HeightField {
public:
    // Fills size x size texels with height(u, v), u and v the texel centres in [0, 1).
    HeightField(int size, const std::function<float(float u, float v)>& height);

    int size() const { return n; }
    // Wraps around at the edges, as the tiled texture does.
    float at(int x, int y) const;
    // Height differences to the right and upward neighbours (central differences).
    float slopeX(int x, int y) const { return (at(x + 1, y) - at(x - 1, y)) * 0.5f; }
    float slopeY(int x, int y) const { return (at(x, y + 1) - at(x, y - 1)) * 0.5f; }

    // RGB = n * 0.5 + 0.5 with n the unit surface normal in texture space
    // (x along u, y along v, z out of the surface); strength scales the slopes.
    RgbImage normalMap(float strength) const;

private:
    int n;
    std::vector<float> heights;
};

// A size x size picture with colour(u, v) at the texel centres.
RgbImage paintPicture(int size, const std::function<Color(int x, int y, float u, float v)>& colour);
