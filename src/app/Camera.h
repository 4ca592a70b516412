#pragma once
// The first-person camera and the frame clock: GL-free arithmetic that the
// frame loop runs each frame. Angles are radians in float; sines and cosines
// are taken in double on the float angle and stored back as float.

#include "math/Matrix4.h"

#include <functional>

constexpr float kMouseRadiansPerPixel = 0.005f;
constexpr float kPitchLimit = 1.57f;

// The player is the eye.
struct Camera {
    Vector3 playerPosition{-5.5f, 0.0f, 0.0f};  // y is set by the ground following
    float horizontalAngle = 3.14f;              // yaw; 3.14 looks along -z; never wrapped
    float verticalAngle = 0.0f;                 // pitch, kept within +-1.57
    float moveSpeed = 3.0f;                     // units per second
    Matrix4 viewMatrix;                         // rewritten every frame
};

struct CameraVectors {
    Vector3 direction;  // where the eye looks
    Vector3 right;      // horizontal, to the right of direction
    Vector3 up;         // cross(right, direction)
};

// Turns the camera by the cursor's offset (cx, cy) from the window centre
// (windowWidth / 2, windowHeight / 2 in integers), then clamps the pitch.
void applyMouseLook(Camera& camera, double cx, double cy, int windowWidth, int windowHeight);

CameraVectors cameraVectors(const Camera& camera);

// Is a GLFW key held this frame?
using KeyPressed = std::function<bool(int key)>;

// W, S, D, A move the eye over the ground plane at moveSpeed; y never changes.
void moveByKeys(Camera& camera, const CameraVectors& vectors, float dt, const KeyPressed& pressed);

// lookAt from the eye along direction.
Matrix4 cameraView(const Camera& camera, const CameraVectors& vectors);

// Time step and frames-per-second bookkeeping of the frame loop.
struct FrameClock {
    float lastFrameTime = 0.0f;   // kept as float, so the first dt is the time since start-up
    int frameCount = 0;           // frames since fpsTimer last advanced
    double fpsTimer = 0.0;        // start of the second being counted
    float framesPerSecond = 0.0f; // frames counted in the last whole second

    // dt for a frame that starts at frameTime.
    float step(double frameTime);
    // Picks up at now after a pause: the next step's dt leaves the pause out,
    // and the frame rate counts from now.
    void resume(double now);
    // Counts the frame; t2 is a second clock reading. Advances fpsTimer by
    // exactly one second, so a long stall catches up a second per frame.
    void countFrame(double t2);
};
