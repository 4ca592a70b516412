#include "ObjMesh.h"

#include "Image.h"

#include <cstdio>

namespace {

// Six decimals keep the files small and exact enough; -0 is written as 0 so
// that output does not depend on the sign of zero.
void writeFloat(std::FILE* file, float v) {
    if (v == 0.0f) v = 0.0f;
    std::fprintf(file, " %.6f", static_cast<double>(v));
}

}  // namespace

int ObjMesh::addPosition(Vec3 p) {
    positions.push_back(p);
    return static_cast<int>(positions.size()) - 1;
}

int ObjMesh::addUv(float u, float v) {
    uvs.push_back({u, v});
    return static_cast<int>(uvs.size()) - 1;
}

int ObjMesh::addNormal(Vec3 n) {
    normals.push_back(n);
    return static_cast<int>(normals.size()) - 1;
}

int ObjMesh::addVertex(Vec3 p, float u, float v, Vec3 n) {
    const int index = addPosition(p);
    addUv(u, v);
    addNormal(n);
    return index;
}

void ObjMesh::addTriangle(ObjCorner a, ObjCorner b, ObjCorner c) { triangles.push_back({a, b, c}); }

void ObjMesh::addTriangle(int a, int b, int c) { addTriangle({a, a, a}, {b, b, b}, {c, c, c}); }

void ObjMesh::addQuad(int a, int b, int c, int d) {
    addTriangle(a, b, c);
    addTriangle(a, c, d);
}

void ObjMesh::addFlatQuad(Vec3 corner, Vec3 uAxis, Vec3 vAxis, Vec3 n, float u0, float v0, float u1, float v1) {
    const int a = addVertex(corner, u0, v0, n);
    const int b = addVertex(corner + uAxis, u1, v0, n);
    const int c = addVertex(corner + uAxis + vAxis, u1, v1, n);
    const int d = addVertex(corner + vAxis, u0, v1, n);
    addQuad(a, b, c, d);
}

void ObjMesh::save(const std::string& path, const std::string& comment) const {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) failGeneration("Could not write " + path);
    std::fprintf(file, "# %s\n", comment.c_str());
    for (const Vec3& p : positions) {
        std::fputc('v', file);
        writeFloat(file, p.x), writeFloat(file, p.y), writeFloat(file, p.z);
        std::fputc('\n', file);
    }
    for (const auto& t : uvs) {
        std::fputs("vt", file);
        writeFloat(file, t[0]), writeFloat(file, t[1]);
        std::fputc('\n', file);
    }
    for (const Vec3& n : normals) {
        std::fputs("vn", file);
        writeFloat(file, n.x), writeFloat(file, n.y), writeFloat(file, n.z);
        std::fputc('\n', file);
    }
    for (const auto& tri : triangles) {
        std::fputc('f', file);
        for (const ObjCorner& c : tri) std::fprintf(file, " %d/%d/%d", c.position + 1, c.uv + 1, c.normal + 1);
        std::fputc('\n', file);
    }
    if (std::fclose(file) != 0) failGeneration("Could not write " + path);
}
