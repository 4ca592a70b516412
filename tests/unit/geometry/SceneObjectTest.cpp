// The shared turn and move of scene objects, and the cube's triangles.
#include "geometry/Cube.h"

#include <gtest/gtest.h>

namespace {

struct Idle : AnimatedObject {
    using AnimatedObject::AnimatedObject;
    void draw() override {}
};

void expectColumn(const Matrix4& m, int c, Vector3 v, float w) {
    const float want[4] = {v.x, v.y, v.z, w};
    for (int r = 0; r < 4; ++r) EXPECT_NEAR(m.m[c][r], want[r], 1e-6f) << "column " << c << " row " << r;
}

}  // namespace

TEST(AnimatedObject, RotateTurnsInPlaceAndTranslateFollowsTheObjectsAxes) {
    Vector3 up{0.0f, 1.0f, 0.0f}, forward{1.0f, 0.0f, 0.0f};
    for (auto [deltaTime, x] : {std::pair{0.0, Vector3{1, 0, 0}}, {0.5, {0, 0, -1}}, {1.0, {-1, 0, 0}}}) {
        Idle object{translateBy(Matrix4(), Vector3{2.0f, 3.0f, 4.0f})};
        object.rotate(deltaTime, up);  // deltaTime x 180 degrees, +x towards -z
        expectColumn(object.model, 0, x, 0.0f);
        expectColumn(object.model, 3, {2, 3, 4}, 1.0f);
    }
    Idle object{Matrix4()};
    object.rotate(0.5, up);
    const Matrix4 turned = object.model;
    object.translate(5.0, forward);  // a quarter turn, then one unit along the object's x: world -z
    expectColumn(object.model, 3, {0, 0, -1}, 1.0f);
    for (int c = 0; c < 3; ++c) expectColumn(object.model, c, {turned.m[c][0], turned.m[c][1], turned.m[c][2]}, 0);
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
