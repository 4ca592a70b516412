// Model files the tests write: the lists and tangent frames loadModel and
// computeTangents give. Files that end the process: tests/e2e/test_bad_inputs.py.
#include "geometry/ModelImport.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Model {
    explicit Model(const std::string& objText) {
        TempDir dir;
        writeTextFile(dir / "model.obj", objText);
        loadModel((dir / "model.obj").c_str(), indices, positions, uvs, normals);
        computeTangents(indices, positions, uvs, tangents, bitangents);
        for (size_t size : {uvs.size(), normals.size(), tangents.size(), bitangents.size()}) EXPECT_EQ(size, positions.size());
    }
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals, tangents, bitangents;
    std::vector<Vector2> uvs;
};

bool same(const Vector3& a, const Vector3& b) { return length(a - b) < 1e-6f; }

}  // namespace

TEST(LoadModel, OneTriangleOfTheFirstMeshWithItsTangentFrame) {
    const Model m("o first\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0 0.5\nvt 1 0 0.5\nvt 0 1 0.5\nf 1/1 2/2 3/3\n"
                  "o second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\nf 4 5 6\nf 5 7 6\n");
    ASSERT_EQ(m.positions.size() + m.indices.size(), 6u);
    for (size_t v = 0; v < 3; ++v) {
        EXPECT_TRUE(m.positions[v].x == m.uvs[v].x && m.positions[v].y == m.uvs[v].y) << "uv of vertex " << v;
        EXPECT_TRUE(same(m.tangents[v], {1, 0, 0}) && same(m.bitangents[v], {0, 1, 0})) << v;
        EXPECT_TRUE(same(m.normals[v], {0, 0, 1})) << "generated, since the file has none";
    }
}

// Each triangle of the index list adds its frame to its corners; one without texture area adds nothing.
TEST(LoadModel, SharedVerticesAddTheTangentsOfAllTheirTriangles) {
    const Model quad("v 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n");
    ASSERT_EQ(quad.positions.size(), 4u);
    for (uint16_t v = 0; v < 4; ++v) {
        const float uses = static_cast<float>(std::count(quad.indices.begin(), quad.indices.end(), v));
        EXPECT_TRUE(same(quad.tangents[v], {2.0f * uses, 0, 0}) && same(quad.bitangents[v], {0, uses, 0})) << v;
    }
    const Model flat("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    for (size_t v = 0; v < 3; ++v)
        EXPECT_TRUE(flat.uvs[v].x == 0.0f && flat.uvs[v].y == 0.0f && same(flat.tangents[v], {0, 0, 0}) && same(flat.bitangents[v], {0, 0, 0}));
}
