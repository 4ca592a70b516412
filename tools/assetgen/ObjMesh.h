#pragma once
// A triangle model as Wavefront OBJ writes it: separate position, texture
// coordinate and normal lists, and triangles whose corners index each list.
// Corner indices are zero-based here and written one-based.

#include "Vec3.h"

#include <array>
#include <string>
#include <vector>

struct ObjCorner {
    int position = 0, uv = 0, normal = 0;
};

class ObjMesh {
public:
    int addPosition(Vec3 p);
    int addUv(float u, float v);
    int addNormal(Vec3 n);
    // A corner that uses position, uv and normal entries of the same number.
    int addVertex(Vec3 p, float u, float v, Vec3 n);
    void addTriangle(ObjCorner a, ObjCorner b, ObjCorner c);
    // Triangle of three addVertex numbers.
    void addTriangle(int a, int b, int c);
    // Two triangles over a quad given counter-clockwise as seen from its front.
    void addQuad(int a, int b, int c, int d);
    // A quad with its own four vertices: corner + s * uAxis + t * vAxis for
    // s, t in {0, 1}, front side where uAxis x vAxis points, normal n and
    // texture coordinates from (u0, v0) to (u1, v1).
    void addFlatQuad(Vec3 corner, Vec3 uAxis, Vec3 vAxis, Vec3 n, float u0, float v0, float u1, float v1);

    // Writes the model; ends the generator if the file cannot be written.
    void save(const std::string& path, const std::string& comment) const;

    size_t triangleCount() const { return triangles.size(); }

private:
    std::vector<Vec3> positions;
    std::vector<std::array<float, 2>> uvs;
    std::vector<Vec3> normals;
    std::vector<std::array<ObjCorner, 3>> triangles;
};
