// The animation step, which makes no GL call while the light stands still,
// and the function keys' switches.
#include "geometry/SceneObject.h"
#include "world/DisplaySettings.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Marker : AnimatedObject {
    using AnimatedObject::AnimatedObject;
    void draw() override {}
};

}  // namespace

// The plus bobs between model y -0.1 and 0.61, its shadow copy in step.
// How fast it turns and moves: GameTest's round.
TEST(UpdateWorld, ThePlusBobsBetweenItsTurningPoints) {
    const Matrix4 start = translateBy(scaleBy(Matrix4(), {0.2f, 0.2f, 0.2f}), {-2.0f, 5.0f, 15.5f});
    Marker cube{Matrix4()}, map{Matrix4()}, plus{start}, shadow{start};
    world.cube = &cube, world.mapMesh = &map, world.plusMesh = &plus, world.plusShadowMesh = &shadow;
    float lowest = 10.0f, highest = -10.0f;
    for (int i = 0; i < 8000; ++i) {
        updateWorld(0.002);
        for (int k = 0; k < 16; ++k) ASSERT_EQ(plus.model.data()[k], shadow.model.data()[k]);
        if (i < 3000) continue;  // first down from the start height, 1 in the world
        lowest = std::min(lowest, plus.model.m[3][1]);
        highest = std::max(highest, plus.model.m[3][1]);
    }
    EXPECT_NEAR(lowest, -0.1f, 0.002f);
    EXPECT_NEAR(highest, 0.61f, 0.002f);
    world = World{};
}

// Ten million frames of 0.1 ms (1000 s at 10,000 frames a second): the plus
// keeps its size and the light its distance from the y axis, and both have
// turned as far as the time says (500 turns, and 55 and 5/9).
TEST(UpdateWorld, TinyStepsNeitherShrinkThePlusNorMoveTheLight) {
    Marker plus{translateBy(scaleBy(Matrix4(), {0.2f, 0.2f, 0.2f}), {-2.0f, 5.0f, 15.5f})};
    Vector3 up{0.0f, 1.0f, 0.0f}, light{2.0f, 2.0f, 2.0f};
    for (int i = 0; i < 10000000; ++i) {
        plus.rotate(1e-4, up);
        light = turnedLight(light, 1e-4, std::sqrt(8.0));
    }
    const Vector3 across{plus.model.m[0][0], plus.model.m[0][1], plus.model.m[0][2]};
    const Vector3 along{plus.model.m[2][0], plus.model.m[2][1], plus.model.m[2][2]};
    EXPECT_TRUE(std::abs(length(across) - 0.2f) < 1e-6f && std::abs(length(along) - 0.2f) < 1e-6f && length(across - Vector3{0.2f, 0, 0}) < 1e-4f);
    EXPECT_NEAR(std::hypot(light.x, light.z), std::sqrt(8.0), 1e-5);
    EXPECT_NEAR(length(light - transformDirection(rotateBy(Matrix4(), 200.0f, up), {2.0f, 2.0f, 2.0f})), 0.0f, 1e-3f);
}

// Only a press switches; F2 and F6 make no GL call. The keys' other effects: GameTest's round.
TEST(FunctionKeys, SwitchOnPressesOnly) {
    for (int action : {GLFW_REPEAT, GLFW_RELEASE, GLFW_PRESS})
        for (int key : {GLFW_KEY_F2, GLFW_KEY_F6}) keyCallback(nullptr, key, 0, action, 0);
    EXPECT_TRUE(displaySettings.showFrameCounter && displaySettings.lightRotationEnabled);
}
