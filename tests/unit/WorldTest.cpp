// The animation step, which makes no GL call while the light stands still,
// and the function keys' switches.
#include "geometry/SceneObject.h"
#include "world/DisplaySettings.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>


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

// Only a press switches; F2 and F6 make no GL call. The keys' other effects: GameTest's round.
TEST(FunctionKeys, SwitchOnPressesOnly) {
    for (int action : {GLFW_REPEAT, GLFW_RELEASE, GLFW_PRESS})
        for (int key : {GLFW_KEY_F2, GLFW_KEY_F6}) keyCallback(nullptr, key, 0, action, 0);
    EXPECT_TRUE(displaySettings.showFrameCounter && displaySettings.lightRotationEnabled);
}
