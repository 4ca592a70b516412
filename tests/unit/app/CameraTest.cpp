// Mouse look, camera vectors, walking and the frame clock.

#include "app/Camera.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

TEST(Camera, MouseRightTurnsRightAndDownLooksDown) {
    Camera camera;
    applyMouseLook(camera, 400.0 + 10.0, 300.0 + 20.0, 800, 600);
    EXPECT_FLOAT_EQ(camera.horizontalAngle, 3.14f - 0.05f);
    EXPECT_FLOAT_EQ(camera.verticalAngle, -0.1f);
}

TEST(Camera, PitchIsClampedAndYawIsNotWrapped) {
    Camera camera;
    for (int i = 0; i < 10; ++i) applyMouseLook(camera, -1000.0, -1000.0, 801, 601);
    EXPECT_EQ(camera.verticalAngle, 1.57f);
    EXPECT_GT(camera.horizontalAngle, 6.3f);
    applyMouseLook(camera, 400.0, 1e6, 801, 601);
    EXPECT_EQ(camera.verticalAngle, -1.57f);
}

TEST(Camera, StartLooksAlongMinusZWithRightAlongPlusX) {
    const CameraVectors v = cameraVectors(Camera{});
    EXPECT_NEAR(v.direction.z, -1.0f, 1e-5f);
    EXPECT_NEAR(v.right.x, 1.0f, 1e-3f);  // so D walks towards the goal line
    EXPECT_NEAR(v.up.y, 1.0f, 1e-3f);
}

TEST(Camera, WalkingIgnoresPitchHeightAndSlowsByItsCosine) {
    Camera camera;
    camera.horizontalAngle = 1.5707964f;  // along +x
    camera.verticalAngle = 1.0f;
    const CameraVectors v = cameraVectors(camera);
    moveByKeys(camera, v, 1.0f, [](int key) { return key == GLFW_KEY_W; });
    EXPECT_NEAR(camera.playerPosition.x, -5.5f + 3.0f * std::cos(1.0f), 1e-5f);
    EXPECT_EQ(camera.playerPosition.y, 0.0f);

    Camera back;
    moveByKeys(back, cameraVectors(back), 0.5f,
               [](int key) { return key == GLFW_KEY_W || key == GLFW_KEY_S; });
    EXPECT_NEAR(back.playerPosition.z, 0.0f, 1e-6f) << "W and S cancel";
}

TEST(Camera, FirstTimeStepIsTheWholeStartUpAndLaterOnesAreDeltas) {
    FrameClock clock;
    EXPECT_FLOAT_EQ(clock.step(2.5), 2.5f);
    EXPECT_NEAR(clock.step(2.6), 0.1f, 1e-6f);
}

TEST(Camera, FrameRateUpdatesOncePerSecondAndCatchesUpAfterAStall) {
    FrameClock clock;
    clock.fpsTimer = 10.0;
    for (int i = 0; i < 59; ++i) clock.countFrame(10.0 + i * 0.016);
    EXPECT_EQ(clock.framesPerSecond, 0.0f);
    clock.countFrame(11.0);
    EXPECT_EQ(clock.framesPerSecond, 60.0f);
    EXPECT_EQ(clock.fpsTimer, 11.0);

    clock.countFrame(14.5);  // a stall of three and a half seconds
    EXPECT_EQ(clock.framesPerSecond, 1.0f);
    clock.countFrame(14.51);
    EXPECT_EQ(clock.fpsTimer, 13.0) << "one second per frame";
}
