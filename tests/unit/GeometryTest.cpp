// Geometry without GL: model import and tangent frames, the terrain grid and
// the cube's triangles. Files that end the process: tests/gl/bad-inputs.txt.
#include "geometry/Cube.h"
#include "geometry/ModelImport.h"
#include "geometry/TerrainGrid.h"
#include "support/Harness.h"

#include <algorithm>
#include <cmath>

namespace {

bool same(const Vector3& a, const Vector3& b) { return length(a - b) < 1e-5f; }

struct Model {
    explicit Model(const std::string& obj) {
        TempDir dir;
        writeFile(dir / "model.obj", obj);
        loadModel((dir / "model.obj").c_str(), indices, positions, uvs, normals);
        computeTangents(indices, positions, uvs, tangents, bitangents);
    }
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals, tangents, bitangents;
    std::vector<Vector2> uvs;
};

}  // namespace

TEST(LoadModel, TheFirstMeshWithItsUvsAndTangentFrame) {
    const Model m("o first\nv 0 0 0\nv 2 0 0\nv 0 1 0\nvt 0 0 0.5\nvt 1 0 0.5\nvt 0 1 0.5\nf 1/1 2/2 3/3\n"
                  "o second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nf 4 5 6\n");
    ASSERT_EQ(m.positions.size() + m.indices.size(), 6u);
    for (size_t v = 0; v < 3; ++v) {
        EXPECT_TRUE(m.positions[v].x == 2 * m.uvs[v].x && m.positions[v].y == m.uvs[v].y) << "(u, v, w) is read as (u, v)";
        EXPECT_TRUE(same(m.tangents[v], {2, 0, 0}) && same(m.bitangents[v], {0, 1, 0})) << v;
        EXPECT_TRUE(same(m.normals[v], {0, 0, 1})) << "generated, since the file has none";
    }
    // A quad's two triangles add their frames at the corners they share; no uvs, no frame.
    const Model quad("v 0 0 0\nv 2 0 0\nv 2 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n"), flat("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    ASSERT_EQ(quad.positions.size(), 4u);
    for (uint16_t v = 0; v < 4; ++v) {
        const float uses = static_cast<float>(std::count(quad.indices.begin(), quad.indices.end(), v));
        EXPECT_TRUE(same(quad.tangents[v], {2 * uses, 0, 0}) && same(quad.bitangents[v], {0, uses, 0})) << v;
    }
    for (size_t v = 0; v < 3; ++v) EXPECT_TRUE(flat.uvs[v].x == 0 && flat.uvs[v].y == 0 && same(flat.tangents[v], {}));
}

// Corner heights 0, 1 (near row) and 2, 4 (far row) at spacing 1: the height
// follows the two drawn triangles, which meet on the diagonal.
TEST(TerrainGrid, HeightsFollowTheDrawnTrianglesAndTheFieldEnds) {
    const TerrainGrid grid(TerrainGrid::Heightmap{"test pixels", 2, 2, 1, 2, {0, 51, 102, 204}}, 1.0f, 5.0f);
    EXPECT_EQ(grid.indices, (std::vector<uint16_t>{0, 3, 1, 0, 2, 3}));
    auto at = [&](float tx, float tz) { return grid.groundHeightAt({tx - 0.5f, 7.0f, tz - 0.5f}); };
    EXPECT_NEAR(at(0.75f, 0.25f), 0.75f + 3.0f * 0.25f, 1e-5f);
    EXPECT_NEAR(at(0.25f, 0.75f), 2.0f * 0.25f + 2.0f * 0.75f, 1e-5f);
    for (float t : {0.0f, 0.25f, 0.875f}) EXPECT_NEAR(at(t, t), 4.0f * t, 1e-5f) << t;
    for (Vector3 p : {Vector3{0.5f, 0, 0}, {0, 0, 0.5f}, {-0.51f, 0, 0}, {0, 0, -0.51f}, {NAN, 0, 0}})
        EXPECT_EQ(grid.groundHeightAt(p), TerrainGrid::lowestHeight) << p.x << ", " << p.z;
    const TerrainGrid row(TerrainGrid::Heightmap{"one row", 3, 1, 1, 4, {0, 128, 255, 0}}, 0.5f, 1.0f);
    EXPECT_TRUE(row.indices.empty() && row.groundHeightAt({0, 0, 0}) == TerrainGrid::lowestHeight);
    const unsigned char pixel[4] = {0x80, 0x7F, 0x7E, 0x7D};  // little-endian, scaled to [0, 1]
    for (auto [bytes, height] : {std::pair{1, 0x80 / 255.0f}, {2, 0x7F80 / 65535.0f}, {3, 0x7E7F80 / 16777215.0f}, {4, 0x7D7E7F80 / 4294967296.0f}})
        EXPECT_FLOAT_EQ(TerrainGrid::sampleHeight(pixel, bytes), height) << bytes;
}

// Rows are read at their stored pitch and go along z; the grid is centred and
// faces up, and the texture repeats ten times across it each way.
TEST(TerrainGrid, PixelRowsGiveACentredGridFacingUp) {
    std::vector<unsigned char> pixels(8 * 3, 255);
    for (int i = 0; i < 15; ++i) pixels[i / 5 * 8 + i % 5] = static_cast<unsigned char>(240 + i / 5 + i % 5);
    const TerrainGrid grid(TerrainGrid::Heightmap{"padded rows", 5, 3, 1, 8, pixels}, 0.5f, 2.0f);
    for (int i = 0; i < 15; ++i) {
        EXPECT_TRUE(same(grid.positions[i], {-1.0f + 0.5f * (i % 5), (240 + i / 5 + i % 5) / 255.0f * 2.0f, -0.5f + 0.5f * (i / 5)})) << i;
        EXPECT_TRUE(grid.uvs[i].x == 5.0f * (i / 5) && grid.uvs[i].y == 2.5f * (i % 5)) << i;
        EXPECT_GT(grid.normals[i].y, 0.99f) << i;
    }
}

TEST(CubeGeometry, TwelveTrianglesFaceOutwardFromTheirFlatFaces) {
    for (int t = 0; t < 12; ++t) {
        const GLuint* corner = &Cube::triangleIndices[3 * t];
        const Vector3 n = Cube::vertexNormals[corner[0]], p0 = Cube::vertexPositions[corner[0]];
        EXPECT_GT(dot(cross(Cube::vertexPositions[corner[1]] - p0, Cube::vertexPositions[corner[2]] - p0), n), 0.0f) << t;
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(dot(Cube::vertexPositions[corner[k]], n) == 0.5f && dot(Cube::vertexNormals[corner[k]], n) == 1.0f) << t;
    }
}
