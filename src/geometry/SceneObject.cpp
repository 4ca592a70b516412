#include "geometry/SceneObject.h"

#include <cmath>

namespace {

double rowLength(const Matrix4& m, int row) {
    const double x = m.m[0][row], y = m.m[1][row], z = m.m[2][row];
    return std::sqrt(x * x + y * y + z * z);
}

}  // namespace

AnimatedObject::AnimatedObject(const Matrix4& model) : SceneObject(model) {
    for (int row = 0; row < 3; ++row) rowLengths[row] = rowLength(model, row);
}

void AnimatedObject::update(double) {}

void AnimatedObject::rotate(double deltaTime, Vector3& axis) {
    const float degrees = static_cast<float>(deltaTime) * 180.0f;
    model = rotateBy(model, degrees, axis);
    // Formed in double: the correction is far below a float's last digit.
    for (int row = 0; row < 3; ++row) {
        const double now = rowLength(model, row);
        if (now == 0.0) continue;
        const double factor = rowLengths[row] / now;
        for (int c = 0; c < 3; ++c) model.m[c][row] = static_cast<float>(model.m[c][row] * factor);
    }
}

void AnimatedObject::translate(double, Vector3& offset) { model = translateBy(model, offset); }
