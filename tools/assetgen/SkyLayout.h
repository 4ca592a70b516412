#pragma once
// Where each face of the sky box lies in the sky picture, shared by the sky
// box model (its texture coordinates) and the sky picture (which direction
// each pixel shows), so that the two always agree.
//
// The picture is skyImageSize square, in three horizontal bands:
//   v in [0.5 - sideHeight / 2, 0.5 + sideHeight / 2]: the four walls side by
//     side, -z, +x, +z, -x from left to right, a panorama that wraps at u = 1;
//   above it: the ceiling (+y) in the first column, continuing the -z wall;
//   below it: the floor (-y) in the first column, continuing the -z wall.
// The other cells of the top and bottom bands continue their walls upward
// and downward. Ceiling and floor sit inset by skyFacePadding pixels in their
// cells, so that filtering at their edges blends with their own continuation.
//
// Every face is corner + s * uAxis + t * vAxis for s, t in [0, 1] on the cube
// [-1, 1]^3, counter-clockwise seen from the centre (uAxis x vAxis points
// inward).

#include "Vec3.h"

constexpr int skyImageSize = 1024;
constexpr float skySideHeight = 0.5f;  // fraction of the picture the walls take up
constexpr int skyFacePadding = 4;      // pixels around ceiling and floor

struct SkyFace {
    Vec3 corner, uAxis, vAxis;
    float u0, v0, u1, v1;  // picture coordinates of the face's s, t = 0 and 1

    Vec3 pointAt(float s, float t) const { return corner + uAxis * s + vAxis * t; }
};

// 0 to 3: the walls -z, +x, +z, -x; 4: the ceiling; 5: the floor.
SkyFace skyFace(int index);

// The point on the (extended) sky box that picture coordinate (u, v) shows.
Vec3 skyPointAt(float u, float v);
