// Terrain grids from small bitmaps the tests write. Heightmaps that end the
// process: tests/e2e/test_bad_inputs.py.
#include "geometry/TerrainGrid.h"
#include "support/GlTestContext.h"
#include "unit/geometry/GeometryTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

static TerrainGrid fromBitmap(int width, int height, int bitsPerPixel, const std::function<int(int, int)>& level,
                              float spacing = 0.5f) {
    TempDir dir;
    return TerrainGrid(writeBitmap(dir / "map.bmp", width, height, bitsPerPixel, level).c_str(), spacing, 2.0f);
}

TEST(TerrainGrid, TwoByTwoImageGivesOneCellCentredOnTheOrigin) {
    const TerrainGrid grid = fromBitmap(2, 2, 8, [](int c, int r) { return (c + 2 * r) * 85; }, 0.06f);
    ASSERT_EQ(grid.positions.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const Vector3 want{i % 2 ? 0.03f : -0.03f, i / 3.0f * 2.0f, i / 2 ? 0.03f : -0.03f};
        EXPECT_LT(length(grid.positions[i] - want), 1e-6f) << i;
        EXPECT_TRUE(grid.uvs[i].x == i / 2 * 10.0f && grid.uvs[i].y == i % 2 * 10.0f) << i;  // u follows the rows
    }
    EXPECT_EQ(grid.indices, (std::vector<uint16_t>{0, 3, 1, 0, 2, 3}));
}

// A 5-pixel 8-bit row is stored in 8 bytes, so reading rows by width skews them.
TEST(TerrainGrid, PaddedRowsAndTwentyFourBitPixelsAreReadAsStored) {
    const TerrainGrid padded = fromBitmap(5, 3, 8, [](int c, int r) { return 10 * r + c; });
    ASSERT_EQ(padded.positions.size(), 15u);
    for (int i = 0; i < 15; ++i) EXPECT_FLOAT_EQ(padded.positions[i].y, (10 * (i / 5) + i % 5) / 255.0f * 2.0f) << i;
    const TerrainGrid grey = fromBitmap(256, 2, 24, [](int c, int) { return c == 0 ? 0 : 255; }, 0.06f);
    EXPECT_TRUE(grey.positions[0].y == 0.0f && grey.positions[1].y == 2.0f) << "grey 255 is the full height scale";
    EXPECT_NEAR(grey.positions[0].x, -7.65f, 1e-5f);
    EXPECT_NEAR(grey.positions[255].x, 7.65f, 1e-5f);
}

TEST(TerrainGrid, FlatImageFacesUpWithOneHeightInsideAndNoneOnTheFarEdges) {
    const TerrainGrid grid = fromBitmap(5, 3, 8, [](int, int) { return 255; });
    for (const Vector3& n : grid.normals) EXPECT_TRUE(n.x == 0.0f && n.y == 1.0f && n.z == 0.0f);
    // x spans [-1, 1] and z [-0.5, 0.5]; the near edges belong to the grid.
    for (float x : {-1.0f, -0.3f, 0.99f})
        for (float z : {-0.5f, 0.1f, 0.49f}) EXPECT_FLOAT_EQ(grid.groundHeightAt({x, 7.0f, z}), 2.0f);
    for (Vector3 p : {Vector3{1, 0, 0}, {0, 0, 0.5f}, {-1.01f, 0, 0}, {0, 0, -0.51f}, {NAN, 0, 0}})
        EXPECT_EQ(grid.groundHeightAt(p), TerrainGrid::lowestHeight) << p.x << ", " << p.z;
}

TEST(TerrainGrid, HeightFollowsTheDrawnTrianglesAndAgreesOnTheDiagonal) {
    // Corner heights 0, 1 (near row) and 2, 4 (far row); spacing 1.
    const TerrainGrid grid(TerrainGrid::Heightmap{"test pixels", 2, 2, 1, 2, {0, 51, 102, 204}}, 1.0f, 5.0f);
    auto at = [&](float tx, float tz) { return grid.groundHeightAt({tx - 0.5f, 0.0f, tz - 0.5f}); };
    EXPECT_NEAR(at(0.75f, 0.25f), 0.75f + 3.0f * 0.25f, 1e-5f);         // triangle (P00, P11, P10)
    EXPECT_NEAR(at(0.25f, 0.75f), 2.0f * 0.25f + 2.0f * 0.75f, 1e-5f);  // triangle (P00, P01, P11)
    for (float t : {0.0f, 0.25f, 0.5f, 0.875f}) EXPECT_NEAR(at(t, t), 4.0f * t, 1e-5f) << t;
    const TerrainGrid row(TerrainGrid::Heightmap{"one row", 3, 1, 1, 4, {0, 128, 255, 0}}, 0.5f, 1.0f);
    EXPECT_TRUE(row.indices.empty() && row.groundHeightAt({0, 0, 0}) == TerrainGrid::lowestHeight);
}

// The fuzz targets decode from memory; a picture cut short must fail there
// too, not come back with made-up rows.
TEST(TerrainGrid, BytesInMemoryDecodeLikeTheFileAndMustBeWhole) {
    TempDir dir;
    std::ifstream in(writeBitmap(dir / "map.bmp", 4, 3, 8, [](int c, int r) { return 40 * r + c; }), std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};

    TerrainGrid::Heightmap map;
    std::string reason;
    ASSERT_TRUE(TerrainGrid::decodeHeightmap(bytes.data(), bytes.size(), map, reason)) << reason;
    const TerrainGrid::Heightmap fromFile = TerrainGrid::loadHeightmap((dir / "map.bmp").c_str());
    EXPECT_TRUE(map.width == 4 && map.height == 3 && map.pitch == fromFile.pitch && map.pixels == fromFile.pixels);

    for (size_t cut : {1, 6, 13}) {
        reason.clear();
        EXPECT_FALSE(TerrainGrid::decodeHeightmap(bytes.data(), bytes.size() - cut, map, reason)) << cut;
        EXPECT_NE(reason, "") << cut;
    }
}
