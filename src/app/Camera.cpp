#include "app/Camera.h"

#include <GLFW/glfw3.h>

#include <cmath>

namespace {

constexpr float kRightAngle = 1.57f;

float sinOf(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
float cosOf(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }

// position += v * dt * speed on x and z, each product left to right in float.
void walk(Vector3& position, const Vector3& v, float dt, float speed, float sign) {
    position.x += sign * (v.x * dt * speed);
    position.z += sign * (v.z * dt * speed);
}

}  // namespace

void applyMouseLook(Camera& camera, double cx, double cy, int windowWidth, int windowHeight) {
    const int centreX = windowWidth / 2;
    const int centreY = windowHeight / 2;
    camera.horizontalAngle += kMouseRadiansPerPixel * static_cast<float>(static_cast<double>(centreX) - cx);
    camera.verticalAngle += kMouseRadiansPerPixel * static_cast<float>(static_cast<double>(centreY) - cy);
    if (camera.verticalAngle < -kPitchLimit) camera.verticalAngle = -kPitchLimit;
    else if (camera.verticalAngle > kPitchLimit) camera.verticalAngle = kPitchLimit;
}

CameraVectors cameraVectors(const Camera& camera) {
    const float h = camera.horizontalAngle;
    const float v = camera.verticalAngle;
    CameraVectors out;
    out.direction = {cosOf(v) * sinOf(h), sinOf(v), cosOf(v) * cosOf(h)};
    out.right = {sinOf(h - kRightAngle), 0.0f, cosOf(h - kRightAngle)};
    out.up = cross(out.right, out.direction);
    return out;
}

void moveByKeys(Camera& camera, const CameraVectors& vectors, float dt, const KeyPressed& pressed) {
    if (pressed(GLFW_KEY_W)) walk(camera.playerPosition, vectors.direction, dt, camera.moveSpeed, 1.0f);
    if (pressed(GLFW_KEY_S)) walk(camera.playerPosition, vectors.direction, dt, camera.moveSpeed, -1.0f);
    if (pressed(GLFW_KEY_D)) walk(camera.playerPosition, vectors.right, dt, camera.moveSpeed, 1.0f);
    if (pressed(GLFW_KEY_A)) walk(camera.playerPosition, vectors.right, dt, camera.moveSpeed, -1.0f);
}

Matrix4 cameraView(const Camera& camera, const CameraVectors& vectors) {
    return lookAt(camera.playerPosition, camera.playerPosition + vectors.direction, vectors.up);
}

float FrameClock::step(double frameTime) {
    const float dt = static_cast<float>(frameTime - static_cast<double>(lastFrameTime));
    lastFrameTime = static_cast<float>(frameTime);
    return dt;
}

void FrameClock::resume(double now) {
    lastFrameTime = static_cast<float>(now);
    fpsTimer = now;
    frameCount = 0;
}

void FrameClock::countFrame(double t2) {
    ++frameCount;
    if (t2 - fpsTimer >= 1.0) {
        framesPerSecond = static_cast<float>(frameCount);
        fpsTimer += 1.0;
        frameCount = 0;
    }
}
