#include "DataFiles.h"

#include "geometry/TerrainGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <vector>

namespace {

// The game's rules: a life is lost where the terrain lies below kLoseHeight;
// the player starts at kStart and wins beyond x = kGoalX, within the field.
constexpr float kLoseHeight = 1.3f;
constexpr float kMargin = 0.05f;  // keep clear of the threshold on both sides
constexpr float kStartX = -5.5f, kStartZ = 0.0f;
constexpr float kGoalX = 5.0f;
constexpr float kFieldX = 5.8f, kFieldZ = 5.5f;
constexpr float kStep = 0.06f;

class HeightmapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { grid = new TerrainGrid(dataPath("Models/heightmap2.bmp").c_str(), 0.06f, 2.0f); }
    static void TearDownTestSuite() { delete grid; }

    static float height(float x, float z) { return grid->groundHeightAt(Vector3{x, 0.0f, z}); }
    static bool land(float x, float z) { return height(x, z) >= kLoseHeight + kMargin; }
    static bool water(float x, float z) { return height(x, z) < kLoseHeight - kMargin; }

    static TerrainGrid* grid;
};

TerrainGrid* HeightmapTest::grid = nullptr;

TEST_F(HeightmapTest, IsA256Square8BitGreyImage) {
    const TerrainGrid::Heightmap map = TerrainGrid::loadHeightmap(dataPath("Models/heightmap2.bmp").c_str());
    EXPECT_EQ(map.width, 256);
    EXPECT_EQ(map.height, 256);
    EXPECT_EQ(map.bytesPerPixel, 1);
    EXPECT_NEAR(grid->positions.front().x, -7.65f, 1e-4f);
    EXPECT_NEAR(grid->positions.back().z, 7.65f, 1e-4f);
}

TEST_F(HeightmapTest, StartAndGoalLineStandOnLand) {
    EXPECT_TRUE(land(kStartX, kStartZ)) << height(kStartX, kStartZ);
    int goalLand = 0;
    for (float z = -kFieldZ; z <= kFieldZ; z += kStep) goalLand += land(kGoalX, z);
    EXPECT_GT(goalLand * kStep, 2.0f) << "too little land along the winning line";
}

// Breadth-first search over the grid points of the field, stepping between
// neighbours on land only.
TEST_F(HeightmapTest, ALandRouteLeadsFromTheStartToTheWinningLine) {
    const int columns = static_cast<int>(2 * kFieldX / kStep) + 1, rows = static_cast<int>(2 * kFieldZ / kStep) + 1;
    auto xOf = [&](int c) { return -kFieldX + c * kStep; };
    auto zOf = [&](int r) { return -kFieldZ + r * kStep; };
    std::vector<char> seen(static_cast<size_t>(columns) * rows, 0);
    std::queue<std::pair<int, int>> open;
    const int startC = static_cast<int>(std::lround((kStartX + kFieldX) / kStep));
    const int startR = static_cast<int>(std::lround((kStartZ + kFieldZ) / kStep));
    open.push({startC, startR});
    seen[static_cast<size_t>(startR) * columns + startC] = 1;
    bool reached = false;
    while (!open.empty() && !reached) {
        const auto [c, r] = open.front();
        open.pop();
        reached = xOf(c) > kGoalX;
        for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int nc = c + dc, nr = r + dr;
            if (nc < 0 || nr < 0 || nc >= columns || nr >= rows) continue;
            char& s = seen[static_cast<size_t>(nr) * columns + nc];
            if (s || !land(xOf(nc), zOf(nr))) continue;
            s = 1;
            open.push({nc, nr});
        }
    }
    EXPECT_TRUE(reached);
}

// The route the documentation describes: +z from the start to z = 3.2,
// then +x along z = 3.2 to the winning line, with room on both sides.
TEST_F(HeightmapTest, TheDescribedRouteStaysOnLandWithRoomToSpare) {
    for (float z = kStartZ; z <= 3.2f; z += 0.02f)
        for (float side : {-0.4f, 0.0f, 0.4f}) EXPECT_TRUE(land(kStartX + side, z)) << "x " << kStartX + side << " z " << z;
    for (float x = kStartX; x <= kGoalX + 0.1f; x += 0.02f)
        for (float side : {-0.4f, 0.0f, 0.4f}) EXPECT_TRUE(land(x, 3.2f + side)) << "x " << x << " z " << 3.2f + side;
}

TEST_F(HeightmapTest, WalkingStraightFromTheStartAlongZZeroMeetsWater) {
    float longest = 0.0f, run = 0.0f;
    for (float x = -4.0f; x <= 4.0f; x += 0.01f) {
        run = water(x, 0.0f) ? run + 0.01f : 0.0f;
        longest = std::max(longest, run);
    }
    EXPECT_GE(longest, 1.5f);
}

TEST_F(HeightmapTest, TheEdgesAreSeaAndTheShoresSlopeGently) {
    const int n = grid->width;
    for (int i = 0; i < n; ++i)
        for (int k : {i, (n - 1) * n + i, i * n, i * n + n - 1})
            EXPECT_LT(grid->positions[k].y, kLoseHeight - kMargin) << "vertex " << k;
    float steepest = 0.0f;
    for (int r = 0; r + 1 < n; ++r)
        for (int c = 0; c + 1 < n; ++c) {
            const float h = grid->positions[r * n + c].y;
            steepest = std::max({steepest, std::fabs(grid->positions[r * n + c + 1].y - h),
                                 std::fabs(grid->positions[(r + 1) * n + c].y - h)});
        }
    EXPECT_LT(steepest / kStep, 1.0f) << "a cliff";
}

}  // namespace
