// Transform conventions: column-major storage, column vectors, right-handed
// view space looking down -z, degrees. The bit patterns below are what the
// shaders and the game's numbers were tuned against.

#include "math/Matrix4.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

uint32_t bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

Vector3 apply(const Matrix4& m, const Vector3& p) { return transformPoint(m, p); }

// Perspective divide of m * (p, 1).
Vector3 project(const Matrix4& m, const Vector3& p) {
    float clip[4];
    for (int r = 0; r < 4; ++r) clip[r] = m.m[0][r] * p.x + m.m[1][r] * p.y + m.m[2][r] * p.z + m.m[3][r];
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
}

Matrix4 sample() {
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.data()[i] = static_cast<float>(i * 3 % 7) - 2.5f;
    return m;
}

void expectColumnEqual(const Matrix4& a, const Matrix4& b, int c) {
    for (int r = 0; r < 4; ++r) EXPECT_EQ(a.m[c][r], b.m[c][r]) << "column " << c << " row " << r;
}

}  // namespace

TEST(Matrix4, IdentityIsNeutralInBothProductOrders) {
    const Matrix4 m = sample();
    const Matrix4 left = multiply(Matrix4(1.0f), m);
    const Matrix4 right = multiply(m, Matrix4(1.0f));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(left.data()[i], m.data()[i]);
        EXPECT_EQ(right.data()[i], m.data()[i]);
    }
    EXPECT_EQ(Matrix4(0.0f).m[0][0], 0.0f);
    EXPECT_EQ(Matrix4().m[3][3], 1.0f);
}

TEST(Matrix4, StorageIsColumnMajorWithTranslationInColumnThree) {
    const Matrix4 t = translateBy(Matrix4(), {1.0f, 2.0f, 3.0f});
    EXPECT_EQ(t.data()[12], 1.0f);
    EXPECT_EQ(t.data()[13], 2.0f);
    EXPECT_EQ(t.data()[14], 3.0f);
}

TEST(Matrix4, ProductAppliesTheRightFactorFirst) {
    // T x S scales first, then moves.
    const Matrix4 ts = multiply(translateBy(Matrix4(), {1, 0, 0}), scaleBy(Matrix4(), {2, 2, 2}));
    const Vector3 p = apply(ts, {1, 1, 1});
    EXPECT_FLOAT_EQ(p.x, 3.0f);
    EXPECT_FLOAT_EQ(p.y, 2.0f);
}

TEST(Matrix4, RotateScaleTranslateKeepTheirColumnInvariants) {
    const Matrix4 m = sample();
    const Matrix4 rotated = rotateBy(m, 37.0f, {0.3f, -1.0f, 2.0f});
    const Matrix4 scaled = scaleBy(m, {2.0f, -3.0f, 0.5f});
    const Matrix4 moved = translateBy(m, {4.0f, 5.0f, -6.0f});
    expectColumnEqual(rotated, m, 3);
    expectColumnEqual(scaled, m, 3);
    for (int c = 0; c < 3; ++c) expectColumnEqual(moved, m, c);
}

TEST(Matrix4, RotateByFollowsTheRightHandRuleAndNormalisesTheAxis) {
    const Matrix4 unit = rotateBy(Matrix4(), 90.0f, {0, 0, 1});
    const Matrix4 longAxis = rotateBy(Matrix4(), 90.0f, {0, 0, 2});
    const Vector3 p = apply(unit, {1, 0, 0});
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 1.0f, 1e-6f);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(longAxis.data()[i], unit.data()[i]);
}

TEST(Matrix4, LookAtMapsEyeToOriginAndCentreDownMinusZ) {
    const Matrix4 view = lookAt({0, 0, 5}, {0, 0, 0}, {0, 1, 0});
    const Vector3 eye = apply(view, {0, 0, 5});
    const Vector3 centre = apply(view, {0, 0, 0});
    EXPECT_NEAR(eye.x, 0.0f, 1e-6f);
    EXPECT_NEAR(eye.z, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(centre.z, -5.0f);

    // An off-axis camera: the up vector stays up on screen.
    const Matrix4 tilted = lookAt({3, 2, 1}, {0, 0, 0}, {0, 1, 0});
    EXPECT_GT(apply(tilted, {0, 1, 0}).y, apply(tilted, {0, 0, 0}).y);
}

TEST(Matrix4, CameraProjectionHasItsExactBits) {
    const Matrix4 p = perspective(60.0f, 800.0f / 600.0f, 0.01f, 20.0f);
    EXPECT_EQ(bits(p.m[2][2]), 0xBF8020C9u);
    EXPECT_EQ(bits(p.m[3][2]), 0xBCA3EC05u);
    EXPECT_EQ(p.m[2][3], -1.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    EXPECT_FLOAT_EQ(p.m[0][0], 1.299038f);
    EXPECT_FLOAT_EQ(p.m[1][1], 1.7320509f);
    EXPECT_EQ(p.m[1][1], 1.0f / 0.57735026f);

    EXPECT_NEAR(project(p, {0, 0, -0.01f}).z, -1.0f, 1e-4f);
    EXPECT_NEAR(project(p, {0, 0, -20.0f}).z, 1.0f, 1e-4f);
}

TEST(Matrix4, LightProjectionHasItsExactBits) {
    const Matrix4 o = ortho(-10, 10, -10, 10, -10, 20);
    EXPECT_EQ(o.m[0][0], 0.1f);
    EXPECT_EQ(o.m[1][1], 0.1f);
    EXPECT_EQ(bits(o.m[2][2]), 0xBD888889u);
    EXPECT_EQ(bits(o.m[3][2]), 0xBEAAAAABu);
    EXPECT_EQ(bits(o.m[3][0]), 0x80000000u);  // -0
    EXPECT_EQ(o.m[3][3], 1.0f);
    EXPECT_NEAR(apply(o, {0, 0, 10}).z, -1.0f, 1e-6f);
    EXPECT_NEAR(apply(o, {0, 0, -20}).z, 1.0f, 1e-6f);
}
