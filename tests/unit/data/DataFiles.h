#pragma once
// Helpers for the tests of the generated data files under QM_DATA_DIR.

#include "geometry/ModelImport.h"
#include "math/Vector.h"

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

inline std::string dataPath(const std::string& name) { return std::string(QM_DATA_DIR) + "/" + name; }

// The four lists loadModel fills.
struct ModelLists {
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions;
    std::vector<Vector2> uvs;
    std::vector<Vector3> normals;

    size_t triangleCount() const { return indices.size() / 3; }
    Vector3 corner(size_t triangle, int k) const { return positions[indices[3 * triangle + k]]; }
    // Counter-clockwise face normal, not normalised.
    Vector3 faceNormal(size_t triangle) const {
        return cross(corner(triangle, 1) - corner(triangle, 0), corner(triangle, 2) - corner(triangle, 0));
    }
    Vector3 centroid(size_t triangle) const {
        return (corner(triangle, 0) + corner(triangle, 1) + corner(triangle, 2)) * (1.0f / 3.0f);
    }
};

inline ModelLists loadModelFile(const std::string& name) {
    ModelLists m;
    loadModel(dataPath(name).c_str(), m.indices, m.positions, m.uvs, m.normals);
    return m;
}

struct BitmapDeleter {
    void operator()(FIBITMAP* b) const { FreeImage_Unload(b); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

inline Bitmap loadBitmap(const std::string& name) {
    const std::string path = dataPath(name);
    return Bitmap(FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0));
}

// Red, green and blue of pixel (x, y) of a 24-bit bitmap, y from the bottom row, in [0, 1].
struct Rgb {
    float r, g, b;
};

inline Rgb pixelAt(FIBITMAP* bitmap, unsigned x, unsigned y) {
    const BYTE* p = FreeImage_GetScanLine(bitmap, static_cast<int>(y)) + 3 * x;
    return {p[FI_RGBA_RED] / 255.0f, p[FI_RGBA_GREEN] / 255.0f, p[FI_RGBA_BLUE] / 255.0f};
}
