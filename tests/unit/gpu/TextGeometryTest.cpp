// Text geometry: six positions and six atlas coordinates per byte.
#include "gpu/TextGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Line {
    Line(const std::string& text, int x, int y, int size) { buildTextGeometry(text.c_str(), x, y, size, positions, uvs); }
    std::vector<Vector2> positions, uvs;
};

void expectVertices(const std::vector<Vector2>& actual, const std::vector<Vector2>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(actual[i].x == expected[i].x && actual[i].y == expected[i].y) << "vertex " << i;
}

// The atlas cell (column, row) a coordinate samples once GL_REPEAT has wrapped it.
std::pair<int, int> sampledCell(const Vector2& uv) {
    auto wrap = [](float t) { return static_cast<int>(std::lround((t - std::floor(t)) * 16.0f)) % 16; };
    return {wrap(uv.x), wrap(uv.y)};
}

}  // namespace

TEST(TextGeometry, LettersAndSignedHighBytesGiveTheirAtlasCells) {
    const Line a("A", 15, 100, 15), heart("\xC4", 0, 0, 10), c0("\xC0", 0, 0, 10);
    expectVertices(a.positions, {{15, 115}, {15, 100}, {30, 115}, {30, 100}, {30, 115}, {15, 100}});
    expectVertices(a.uvs, {{0.0625f, 0.25f}, {0.0625f, 0.3125f}, {0.125f, 0.25f},
                           {0.125f, 0.3125f}, {0.125f, 0.25f}, {0.0625f, 0.3125f}});
    expectVertices(heart.uvs, {{-0.75f, -0.1875f}, {-0.75f, -0.125f}, {-0.6875f, -0.1875f},
                               {-0.6875f, -0.125f}, {-0.6875f, -0.1875f}, {-0.75f, -0.125f}});
    EXPECT_EQ(sampledCell(heart.uvs[0]), std::make_pair(4, 13));
    EXPECT_TRUE(c0.uvs[0].x == 0.0f && c0.uvs[0].y == -0.25f);
    EXPECT_EQ(sampledCell(c0.uvs[0]), std::make_pair(0, 12));
}

TEST(TextGeometry, EveryByteTakesOneCellAndRebuildingReplacesTheLine) {
    const std::string text = "GAME OVER\x01\xC4";
    Line line(text, 7, 3, 12);
    ASSERT_EQ(line.positions.size(), 6 * text.size());
    ASSERT_EQ(line.uvs.size(), line.positions.size());
    for (size_t i = 0; i < text.size(); ++i) EXPECT_EQ(line.positions[6 * i].x, 7.0f + 12.0f * static_cast<float>(i));
    EXPECT_EQ(line.positions[line.positions.size() - 3].x, 7.0f + 12.0f * text.size());
    buildTextGeometry("", 5, 5, 5, line.positions, line.uvs);
    EXPECT_TRUE(line.positions.empty() && line.uvs.empty());
}

// A line far out at the int range's edge keeps every cell to the right of
// the one before it, instead of wrapping round to negative positions.
TEST(TextGeometry, PositionsNearTheIntRangeDoNotWrap) {
    const Line line("AB", 2147483000, 2147483000, 1000);
    ASSERT_EQ(line.positions.size(), 12u);
    for (const Vector2& p : line.positions) EXPECT_GT(p.x, 2.0e9f) << "wrapped";
    for (const Vector2& p : line.positions) EXPECT_GT(p.y, 2.0e9f) << "wrapped";
}
