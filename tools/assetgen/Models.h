#pragma once
// The five models of the world, each written as a Wavefront OBJ file into
// the given directory. All are triangle lists with texture coordinates and
// normals, counter-clockwise seen from the side meant to be seen.

#include <string>

// Water slab: the cube [0, 1]^3, faces outward, 0-to-1 texture coordinates on each face.
void writeWaterSlab(const std::string& path);
// Sky box: the cube [-1, 1]^3 seen from inside; its shader shows the sky by direction.
void writeSkyBox(const std::string& path);
// A solid three-dimensional plus: three orthogonal bars reaching +-1, closed, faces outward.
void writePlus(const std::string& path);
// UV sphere of radius 1 with shared vertices, a seam column and fanned poles.
void writeSphere(const std::string& path);
// A closed tiled slab, 4 x 0.2 x 4 units, for normal mapping.
void writeTiledSlab(const std::string& path);
