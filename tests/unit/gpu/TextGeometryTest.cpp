#include "gpu/TextGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Line {
    std::vector<Vector2> positions;
    std::vector<Vector2> uvs;
};

Line build(const std::string& text, int x, int y, int size) {
    Line line;
    buildTextGeometry(text.c_str(), x, y, size, line.positions, line.uvs);
    return line;
}

void expectVertices(const std::vector<Vector2>& actual, const std::vector<Vector2>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_FLOAT_EQ(actual[i].x, expected[i].x) << "vertex " << i;
        EXPECT_FLOAT_EQ(actual[i].y, expected[i].y) << "vertex " << i;
    }
}

// The atlas cell (column, row) that a coordinate pair samples once the
// texture's repeat wrapping has brought it into 0..1.
std::pair<int, int> sampledCell(const Vector2& topLeft) {
    auto wrap = [](float t) { return static_cast<int>(std::lround((t - std::floor(t)) * 16.0f)) % 16; };
    return {wrap(topLeft.x), wrap(topLeft.y)};
}

TEST(TextGeometry, OneLetterGivesTwoTrianglesOverItsAtlasCell) {
    const Line line = build("A", 15, 100, 15);
    expectVertices(line.positions, {{15, 115}, {15, 100}, {30, 115}, {30, 100}, {30, 115}, {15, 100}});
    expectVertices(line.uvs, {{0.0625f, 0.25f},
                              {0.0625f, 0.3125f},
                              {0.125f, 0.25f},
                              {0.125f, 0.3125f},
                              {0.125f, 0.25f},
                              {0.0625f, 0.3125f}});
}

TEST(TextGeometry, HighBytesAreReadAsSignedAndWrapIntoTheAtlas) {
    const Line heart = build("\xC4", 0, 0, 10);
    expectVertices(heart.uvs, {{-0.75f, -0.1875f},
                               {-0.75f, -0.125f},
                               {-0.6875f, -0.1875f},
                               {-0.6875f, -0.125f},
                               {-0.6875f, -0.1875f},
                               {-0.75f, -0.125f}});
    EXPECT_EQ(sampledCell(heart.uvs[0]), std::make_pair(4, 13));

    const Line c0 = build("\xC0", 0, 0, 10);
    EXPECT_FLOAT_EQ(c0.uvs[0].x, 0.0f);
    EXPECT_FLOAT_EQ(c0.uvs[0].y, -0.25f);
    EXPECT_EQ(sampledCell(c0.uvs[0]), std::make_pair(0, 12));

    EXPECT_EQ(sampledCell(build(" ", 0, 0, 10).uvs[0]), std::make_pair(0, 2));
}

TEST(TextGeometry, EveryByteTakesOneCellAdvancingBySize) {
    const std::string text = "GAME OVER\x01\xC4";
    const int x = 7, y = 3, size = 12;
    const Line line = build(text, x, y, size);
    ASSERT_EQ(line.positions.size(), 6 * text.size());
    ASSERT_EQ(line.uvs.size(), line.positions.size());
    for (size_t i = 0; i < text.size(); ++i) {
        EXPECT_FLOAT_EQ(line.positions[6 * i].x, static_cast<float>(x + static_cast<int>(i) * size));
        EXPECT_FLOAT_EQ(line.positions[6 * i + 1].y, static_cast<float>(y));
        EXPECT_FLOAT_EQ(line.positions[6 * i].y, static_cast<float>(y + size));
    }
    EXPECT_FLOAT_EQ(line.positions.back().x, static_cast<float>(x + static_cast<int>(text.size() - 1) * size));
    EXPECT_FLOAT_EQ(line.positions[line.positions.size() - 3].x, static_cast<float>(x + static_cast<int>(text.size()) * size));
}

TEST(TextGeometry, EmptyTextAndRebuildLeaveOnlyTheNewLine) {
    Line line = build("", 5, 5, 5);
    EXPECT_TRUE(line.positions.empty());
    EXPECT_TRUE(line.uvs.empty());

    buildTextGeometry("ABC", 0, 0, 8, line.positions, line.uvs);
    buildTextGeometry("A", 15, 100, 15, line.positions, line.uvs);
    const Line fresh = build("A", 15, 100, 15);
    expectVertices(line.positions, fresh.positions);
    expectVertices(line.uvs, fresh.uvs);
}

}  // namespace
