#pragma once
// Where a direction lands in the sky picture. The picture is a panorama
// around the world's y axis (equirectangular): u runs once round the horizon
// and v from straight down to straight up, so the sky box can show the sky by
// the direction from the eye alone, as if it were infinitely far away.
//
//   u = 0.5 looks along -z (the start view), 0.75 along +x, 0.25 along -x;
//     u = 0 and u = 1 both look along +z, the one seam, where the picture
//     wraps round (sampled with repeat, so filtering crosses it unbroken).
//   v = 0 straight down, 0.5 level (the horizon), 1 straight up;
//     v is proportional to the elevation angle.
//
// The sky shader evaluates the same formula; these are its GL-free twins,
// used by the asset generator to paint the picture and by the tests.

#include "math/Vector.h"

// Picture coordinate of a direction (need not be unit length, must not be
// zero). u is in [0, 1], v in [0, 1].
Vector2 skyPictureCoordinate(const Vector3& direction);

// The unit direction that picture coordinate (u, v) shows.
Vector3 skyDirection(float u, float v);
