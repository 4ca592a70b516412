#include "geometry/SceneObject.h"

void AnimatedObject::update(double) {}

void AnimatedObject::rotate(double deltaTime, Vector3& axis) {
    const float degrees = static_cast<float>(deltaTime) * 180.0f;
    model = rotateBy(model, degrees, axis);
}

void AnimatedObject::translate(double, Vector3& offset) { model = translateBy(model, offset); }
