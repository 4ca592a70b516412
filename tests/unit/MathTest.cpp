// Matrices by what they do to points (column vectors, degrees, m x op for
// each op), and the sky picture's mapping of directions.
#include "math/Matrix4.h"
#include "math/SkyProjection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

TEST(Matrix4, EachOperationMovesPointsWhereItShould) {
    const Matrix4 I;
    for (const auto& [what, m, point, expected] : {
        std::tuple{"scale, then translate", translateBy(scaleBy(I, {2, 3, 4}), {1, 1, 1}), Vector3{1, 0, 1}, std::array<float, 4>{4, 3, 8, 1}},
        {"translate, then scale", scaleBy(translateBy(I, {1, 1, 1}), {2, 3, 4}), {1, 0, 1}, {3, 1, 5, 1}},
        {"a x b applies b first", multiply(translateBy(I, {1, 0, 0}), scaleBy(I, {2, 2, 2})), {1, 1, 1}, {3, 2, 2, 1}},
        {"z quarter turn, long axis", rotateBy(I, 90, {0, 0, 2}), {1, 0, 0}, {0, 1, 0, 1}},
        {"translate, then y quarter turn", rotateBy(translateBy(I, {0, 0, 5}), 90, {0, 1, 0}), {1, 0, 0}, {0, 0, 4, 1}},
        {"look along -z", lookAt({1, 2, 3}, {1, 2, 0}, {0, 1, 0}), {2, 3, 0}, {1, 1, -3, 1}},
        {"perspective near corner", perspective(90, 2, 1, 3), {2, 1, -1}, {1, 1, -1, 1}},
        {"perspective far centre", perspective(90, 2, 1, 3), {0, 0, -3}, {0, 0, 3, 3}},
        {"ortho far corner", ortho(0, 4, 1, 3, 1, 5), {4, 3, -5}, {1, 1, 1, 1}},
        {"ortho near corner", ortho(0, 4, 1, 3, 1, 5), {0, 1, -1}, {-1, -1, -1, 1}}})
        for (int r = 0; r < 4; ++r)
            EXPECT_NEAR(m.m[0][r] * point.x + m.m[1][r] * point.y + m.m[2][r] * point.z + m.m[3][r], expected[r], 1e-5f) << what << ", row " << r;
    const Matrix4 moved = translateBy(rotateBy(I, 90, {0, 1, 0}), {1, 2, 3});
    EXPECT_NEAR(length(transformPoint(moved, {1, 0, 0}) - Vector3{3, 2, -2}) + length(transformDirection(moved, {1, 0, 0}) - Vector3{0, 0, -1}), 0, 1e-5f);
}

// Each element of a turn is the sum of three products; when all three are
// zero it keeps their sign (-0 + -0 + -0 is -0, where a sum begun at +0 is +0).
TEST(Matrix4, ATurnsSumsKeepTheSignOfZero) {
    const Matrix4 I;
    for (const auto& [m, column, row, negative] : {std::tuple{rotateBy(I, 90, {0, 0, -1}), 0, 2, true}, {rotateBy(I, 180, {0, -1, 0}), 0, 1, true},
                                                   {rotateBy(Matrix4(-1), 90, {1, 0, 0}), 2, 0, true}, {rotateBy(I, 90, {0, 0, 1}), 0, 2, false}}) {
        const float element = m.m[column][row];
        EXPECT_TRUE(element == 0.0f && std::signbit(element) == negative) << column << ", " << row << ": " << element;
    }
}

// u = 0.5 looks along -z and grows toward +x; v is the elevation from -90 to 90 degrees.
TEST(SkyProjection, DirectionsAndPictureCoordinatesMatch) {
    const float r = 0.70710678f;
    for (auto [direction, u, v] : {std::tuple{Vector3{0, 0, -1}, 0.5f, 0.5f}, {{2, 0, 0}, 0.75f, 0.5f}, {{-1, 0, 0}, 0.25f, 0.5f}, {{0, 0, 1}, 1.0f, 0.5f},
                                   {{r, r, 0}, 0.75f, 0.75f}, {{0, -r, -r}, 0.5f, 0.25f}}) {
        const Vector2 at = skyPictureCoordinate(direction);
        EXPECT_TRUE(std::abs(at.x - u) < 1e-6f && std::abs(at.y - v) < 1e-6f) << u << ", " << v;
        EXPECT_NEAR(length(skyDirection(u, v) - normalize(direction)), 0.0f, 1e-5f) << u << ", " << v;
    }
}
