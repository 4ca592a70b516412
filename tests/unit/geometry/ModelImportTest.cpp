#include "geometry/ModelImport.h"

#include "support/GlTestContext.h"
#include "unit/geometry/GeometryTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Model {
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals, tangents, bitangents;
    std::vector<Vector2> uvs;
};

Model load(const std::string& objText) {
    TempDir dir;
    writeTextFile(dir / "model.obj", objText);
    Model m;
    loadModel((dir / "model.obj").c_str(), m.indices, m.positions, m.uvs, m.normals);
    computeTangents(m.indices, m.positions, m.uvs, m.tangents, m.bitangents);
    EXPECT_EQ(m.uvs.size(), m.positions.size());
    EXPECT_EQ(m.normals.size(), m.positions.size());
    EXPECT_EQ(m.tangents.size(), m.positions.size());
    EXPECT_EQ(m.bitangents.size(), m.positions.size());
    return m;
}

void expectVector(const Vector3& v, Vector3 want) {
    EXPECT_NEAR(v.x, want.x, 1e-6f);
    EXPECT_NEAR(v.y, want.y, 1e-6f);
    EXPECT_NEAR(v.z, want.z, 1e-6f);
}

}  // namespace

TEST(LoadModel, OneTriangleOfTheFirstMeshWithItsTangentFrame) {
    const Model m = load("o first\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                         "vt 0 0 0.5\nvt 1 0 0.5\nvt 0 1 0.5\nf 1/1 2/2 3/3\n"
                         "o second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\nf 4 5 6\nf 5 7 6\n");
    ASSERT_EQ(m.positions.size(), 3u);
    EXPECT_EQ(m.indices.size(), 3u);
    for (size_t v = 0; v < 3; ++v) {
        const Vector3& p = m.positions[v];
        EXPECT_TRUE(p.x == m.uvs[v].x && p.y == m.uvs[v].y) << "uv of vertex " << v;  // w is dropped
        expectVector(m.tangents[v], {1, 0, 0});
        expectVector(m.bitangents[v], {0, 1, 0});
        expectVector(m.normals[v], {0, 0, 1});  // generated, since the file has none
    }
}

TEST(LoadModel, SharedVerticesAddTheTangentsOfAllTheirTriangles) {
    const Model m = load("v 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\n"
                         "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n");
    ASSERT_EQ(m.positions.size(), 4u);
    ASSERT_EQ(m.indices.size(), 6u);  // the quad, triangulated
    for (size_t v = 0; v < 4; ++v) {
        const float uses = static_cast<float>(std::count(m.indices.begin(), m.indices.end(), v));
        expectVector(m.tangents[v], {2.0f * uses, 0, 0});
        expectVector(m.bitangents[v], {0, uses, 0});
    }
}

TEST(LoadModel, IndexedSmoothSphereGetsTangentsAlongItsSurface) {
    const int rings = 24, segments = 48;
    const Model m = load(uvSphereObj(rings, segments));
    // Faces share the rings' vertices: the vertex list is not in triangle triples.
    ASSERT_EQ(m.positions.size(), static_cast<size_t>((rings + 1) * (segments + 1) - 2));
    for (size_t v = 0; v < m.positions.size(); ++v) {
        ASSERT_GT(length(m.tangents[v]), 0.0f) << "vertex " << v;
        EXPECT_NEAR(dot(normalize(m.tangents[v]), normalize(m.normals[v])), 0.0f, 0.1f) << "vertex " << v;
    }
}

TEST(LoadModel, WithoutTextureCoordinatesEverythingIsZeroAndFinite) {
    const Model m = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    ASSERT_EQ(m.positions.size(), 3u);
    for (size_t v = 0; v < 3; ++v) {
        EXPECT_TRUE(m.uvs[v].x == 0.0f && m.uvs[v].y == 0.0f);
        expectVector(m.tangents[v], {0, 0, 0});
        expectVector(m.bitangents[v], {0, 0, 0});
    }
}
