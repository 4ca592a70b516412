// Column-major storage, column vectors, degrees; the bit patterns are what
// the shaders and the game's numbers were tuned against.
#include "math/Matrix4.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

static uint32_t bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

static void expectColumns(const Matrix4& a, const Matrix4& b, int first, int last) {
    for (int c = first; c <= last; ++c)
        for (int r = 0; r < 4; ++r) EXPECT_EQ(a.m[c][r], b.m[c][r]) << "column " << c << " row " << r;
}

TEST(Matrix4, TransformsKeepTheirColumnInvariantsAndRotateNormalisesTheAxis) {
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.data()[i] = static_cast<float>(i * 3 % 7) - 2.5f;
    expectColumns(rotateBy(m, 37.0f, {0.3f, -1.0f, 2.0f}), m, 3, 3);
    expectColumns(scaleBy(m, {2.0f, -3.0f, 0.5f}), m, 3, 3);
    expectColumns(translateBy(m, {4.0f, 5.0f, -6.0f}), m, 0, 2);
    const Matrix4 unit = rotateBy(Matrix4(), 90.0f, {0, 0, 1});
    EXPECT_NEAR(transformPoint(unit, {1, 0, 0}).y, 1.0f, 1e-6f);  // right-handed
    const Matrix4 longAxis = rotateBy(Matrix4(), 90.0f, {0, 0, 2});
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(longAxis.data()[i], unit.data()[i]);
}

TEST(Matrix4, LookAtMapsEyeToOriginAndCentreDownMinusZ) {
    const Matrix4 view = lookAt({0, 0, 5}, {0, 0, 0}, {0, 1, 0});
    const Vector3 eye = transformPoint(view, {0, 0, 5}), centre = transformPoint(view, {0, 0, 0});
    EXPECT_NEAR(length(eye), 0.0f, 1e-6f);
    EXPECT_NEAR(centre.x, 0.0f, 1e-6f);
    EXPECT_NEAR(centre.y, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(centre.z, -5.0f);
}

TEST(Matrix4, CameraAndLightProjectionsHaveTheirExactBits) {
    const Matrix4 p = perspective(60.0f, 800.0f / 600.0f, 0.01f, 20.0f);
    EXPECT_EQ(bits(p.m[2][2]), 0xBF8020C9u);
    EXPECT_EQ(bits(p.m[3][2]), 0xBCA3EC05u);
    EXPECT_FLOAT_EQ(p.m[0][0], 1.299038f);
    EXPECT_FLOAT_EQ(p.m[1][1], 1.7320509f);

    const Matrix4 o = ortho(-10, 10, -10, 10, -10, 20);
    EXPECT_EQ(o.m[0][0], 0.1f);
    EXPECT_EQ(o.m[1][1], 0.1f);
    EXPECT_EQ(bits(o.m[2][2]), 0xBD888889u);
    EXPECT_EQ(bits(o.m[3][2]), 0xBEAAAAABu);
    EXPECT_EQ(bits(o.m[3][0]), 0x80000000u);  // -0
    EXPECT_EQ(o.m[3][3], 1.0f);
}
