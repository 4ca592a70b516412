#include "Models.h"

#include "ObjMesh.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kPlusHalfWidth = 0.3f;  // half the thickness of each bar of the plus
constexpr float kCarpetTile = 2.4f;     // model units per carpet repeat: about one diamond per arm
constexpr int kSphereStacks = 32;
constexpr int kSphereSlices = 64;
constexpr float kSphereURepeats = 2.0f;  // so that texels are square around the equator
constexpr int kSlabTiles = 4;
constexpr int kSlabCellsPerTile = 2;
constexpr float kSlabHalfHeight = 0.1f;

// One side of an arm of the plus along direction e: the bar runs from the
// centre block (at e = a) to its end cap (at e = 1).
void addArmSide(ObjMesh& mesh, Vec3 e, Vec3 n) {
    const float a = kPlusHalfWidth;
    const Vec3 w = cross(n, e);
    const float length = 1.0f - a;
    mesh.addFlatQuad(e * a + n * a - w * a, e * length, w * (2 * a), n, 0, 0, length / kCarpetTile,
                     2 * a / kCarpetTile);
}

// An arm along e, with p perpendicular to it: its end cap and four sides.
// The face towards the centre is left out, so that the arms and the
// centre block form one closed surface.
void addArm(ObjMesh& mesh, Vec3 e, Vec3 p) {
    const float a = kPlusHalfWidth;
    const Vec3 q = cross(e, p);
    mesh.addFlatQuad(e - p * a - q * a, p * (2 * a), q * (2 * a), e, 0, 0, 2 * a / kCarpetTile, 2 * a / kCarpetTile);
    for (Vec3 n : {p, q, -p, -q}) addArmSide(mesh, e, n);
}

// A grid of cellsU x cellsV quads over corner + s * uAxis + t * vAxis, with
// shared vertices and texture coordinates proportional to the model units.
void addGrid(ObjMesh& mesh, Vec3 corner, Vec3 uAxis, Vec3 vAxis, int cellsU, int cellsV, float uvPerUnit) {
    const Vec3 n = normalized(cross(uAxis, vAxis));
    const float lengthU = std::sqrt(uAxis.x * uAxis.x + uAxis.y * uAxis.y + uAxis.z * uAxis.z);
    const float lengthV = std::sqrt(vAxis.x * vAxis.x + vAxis.y * vAxis.y + vAxis.z * vAxis.z);
    int first = -1;
    for (int j = 0; j <= cellsV; ++j)
        for (int i = 0; i <= cellsU; ++i) {
            const float s = static_cast<float>(i) / cellsU, t = static_cast<float>(j) / cellsV;
            const int v = mesh.addVertex(corner + uAxis * s + vAxis * t, s * lengthU * uvPerUnit,
                                         t * lengthV * uvPerUnit, n);
            if (first < 0) first = v;
        }
    auto at = [&](int i, int j) { return first + j * (cellsU + 1) + i; };
    for (int j = 0; j < cellsV; ++j)
        for (int i = 0; i < cellsU; ++i) mesh.addQuad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
}

// Sphere position for polar angle theta (0 at +y) and azimuth phi.
Vec3 spherePoint(float theta, float phi) {
    return {std::sin(theta) * std::sin(phi), std::cos(theta), std::sin(theta) * std::cos(phi)};
}

// Positions and normals: the north pole (0), one per ring and slice, then
// the south pole.
void addSpherePositions(ObjMesh& mesh) {
    mesh.addPosition({0, 1, 0});
    mesh.addNormal({0, 1, 0});
    for (int j = 1; j < kSphereStacks; ++j)
        for (int i = 0; i < kSphereSlices; ++i) {
            const Vec3 p = spherePoint(kPi * j / kSphereStacks, 2 * kPi * i / kSphereSlices);
            mesh.addPosition(p);
            mesh.addNormal(p);
        }
    mesh.addPosition({0, -1, 0});
    mesh.addNormal({0, -1, 0});
}

// Texture coordinates: slices + 1 columns per ring, the last repeating the
// first position at u = kSphereURepeats; then the poles, which take the
// middle of each slice.
void addSphereUvs(ObjMesh& mesh) {
    for (int j = 1; j < kSphereStacks; ++j)
        for (int i = 0; i <= kSphereSlices; ++i)
            mesh.addUv(kSphereURepeats * i / kSphereSlices, 1.0f - static_cast<float>(j) / kSphereStacks);
    for (float v : {1.0f, 0.0f})
        for (int i = 0; i < kSphereSlices; ++i) mesh.addUv(kSphereURepeats * (i + 0.5f) / kSphereSlices, v);
}

// Slice by slice: the fan at the north pole, the quads, the fan at the south pole.
void addSphereTriangles(ObjMesh& mesh) {
    constexpr int north = 0, south = 1 + (kSphereStacks - 1) * kSphereSlices;
    constexpr int poleUvs = (kSphereStacks - 1) * (kSphereSlices + 1);
    auto corner = [](int i, int j) {
        const int position = 1 + (j - 1) * kSphereSlices + i % kSphereSlices;
        return ObjCorner{position, (j - 1) * (kSphereSlices + 1) + i, position};
    };
    for (int i = 0; i < kSphereSlices; ++i) {
        mesh.addTriangle(corner(i, 1), corner(i + 1, 1), {north, poleUvs + i, north});
        for (int j = 1; j + 1 < kSphereStacks; ++j) {
            mesh.addTriangle(corner(i, j + 1), corner(i + 1, j + 1), corner(i + 1, j));
            mesh.addTriangle(corner(i, j + 1), corner(i + 1, j), corner(i, j));
        }
        mesh.addTriangle({south, poleUvs + kSphereSlices + i, south}, corner(i + 1, kSphereStacks - 1),
                         corner(i, kSphereStacks - 1));
    }
}

}  // namespace

void writeWaterSlab(const std::string& path) {
    ObjMesh mesh;
    mesh.addFlatQuad({0, 1, 1}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}, 0, 0, 1, 1);
    mesh.addFlatQuad({0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}, 0, 0, 1, 1);
    mesh.addFlatQuad({1, 0, 1}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}, 0, 0, 1, 1);
    mesh.addFlatQuad({0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {-1, 0, 0}, 0, 0, 1, 1);
    mesh.addFlatQuad({0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0, 0, 1, 1);
    mesh.addFlatQuad({1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}, 0, 0, 1, 1);
    mesh.save(path, "Water slab: the unit cube, faces outward");
}

void writeSkyBox(const std::string& path) {
    ObjMesh mesh;
    const Vec3 x{2, 0, 0}, y{0, 2, 0}, z{0, 0, 2};
    // Each face as corner + s * uAxis + t * vAxis, counter-clockwise from inside.
    const Vec3 faces[6][3] = {{{-1, -1, -1}, x, y},  {{1, -1, -1}, z, y},  {{1, -1, 1}, -x, y},
                              {{-1, -1, 1}, -z, y},  {{-1, 1, -1}, x, z},  {{-1, -1, 1}, x, -z}};
    for (const auto& [corner, u, v] : faces) mesh.addFlatQuad(corner, u, v, normalized(cross(u, v)), 0, 0, 1, 1);
    mesh.save(path, "Sky box: the cube [-1, 1]^3, faces toward its centre");
}

void writePlus(const std::string& path) {
    ObjMesh mesh;
    const Vec3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    addArm(mesh, x, y);
    addArm(mesh, -x, y);
    addArm(mesh, y, z);
    addArm(mesh, -y, z);
    addArm(mesh, z, x);
    addArm(mesh, -z, x);
    mesh.save(path, "Plus: three orthogonal bars, closed, faces outward");
}

void writeSphere(const std::string& path) {
    ObjMesh mesh;
    addSpherePositions(mesh);
    addSphereUvs(mesh);
    addSphereTriangles(mesh);
    mesh.save(path, "Sphere of radius 1, normals equal to positions");
}

void writeTiledSlab(const std::string& path) {
    ObjMesh mesh;
    const float half = kSlabTiles / 2.0f, h = kSlabHalfHeight;
    const int cells = kSlabTiles * kSlabCellsPerTile;
    addGrid(mesh, {-half, h, half}, {2 * half, 0, 0}, {0, 0, -2 * half}, cells, cells, 1.0f);
    addGrid(mesh, {-half, -h, -half}, {2 * half, 0, 0}, {0, 0, 2 * half}, cells, cells, 1.0f);
    addGrid(mesh, {-half, -h, half}, {2 * half, 0, 0}, {0, 2 * h, 0}, cells, 1, 1.0f);
    addGrid(mesh, {half, -h, -half}, {-2 * half, 0, 0}, {0, 2 * h, 0}, cells, 1, 1.0f);
    addGrid(mesh, {half, -h, half}, {0, 0, -2 * half}, {0, 2 * h, 0}, cells, 1, 1.0f);
    addGrid(mesh, {-half, -h, -half}, {0, 0, 2 * half}, {0, 2 * h, 0}, cells, 1, 1.0f);
    mesh.save(path, "Tiled slab, 4 x 0.2 x 4, one texture repeat per tile");
}
