// Window-size-dependent values of the world, and the animation step, which
// makes no GL call with the light rotation off and so runs here without a context.
#include "geometry/SceneObject.h"
#include "world/DisplaySettings.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <gtest/gtest.h>

namespace {

void expectPlacement(const TextPlacement& p, int x, int y, int size) {
    EXPECT_TRUE(p.x == x && p.y == y && p.size == size) << p.x << ", " << p.y << ", " << p.size;
}

struct Marker : AnimatedObject {
    using AnimatedObject::AnimatedObject;
    void draw() override {}
};

}  // namespace

TEST(WorldLayout, HudPlacementsAndProjectionFollowTheWindowSize) {
    const HudLayout l = hudLayout(800, 600), hd = hudLayout(1920, 1080), odd = hudLayout(801, 601);
    expectPlacement(l.bigMessage, 177, 400, 60);
    expectPlacement(l.restart, 123, 300, 40);
    expectPlacement(l.lives, 672, 536, 40);
    expectPlacement(l.sampling, 15, 575, 15);
    expectPlacement(l.mipmap, 15, 550, 15);
    expectPlacement(l.transparency, 15, 525, 15);
    expectPlacement(l.frames, 80, 500, 15);
    expectPlacement(hd.bigMessage, 426, 720, 144);
    expectPlacement(hd.restart, 295, 540, 96);
    expectPlacement(hd.lives, 1792, 1016, 40);
    expectPlacement(odd.bigMessage, 178, 401, 60);
    expectPlacement(odd.restart, 123, 301, 40);
    const Matrix4 p = cameraProjection(800, 600), wide = cameraProjection(1920, 1080);
    EXPECT_FLOAT_EQ(p.m[0][0], 1.299038f);
    EXPECT_FLOAT_EQ(p.m[1][1], 1.7320509f);
    EXPECT_FLOAT_EQ(wide.m[0][0], 1.7320509f * 1080.0f / 1920.0f);
    EXPECT_FLOAT_EQ(wide.m[1][1], 1.7320509f);
}

TEST(UpdateWorld, PlusSpinsAndBobsBetweenItsThresholdsWithItsShadowInStep) {
    const Matrix4 start = translateBy(scaleBy(Matrix4(), {0.2f, 0.2f, 0.2f}), {-2.0f, 5.0f, 15.5f});
    Marker cube{Matrix4()}, map{Matrix4()}, plus{start}, shadow{start};
    world = World{};
    displaySettings = DisplaySettings{};
    world.cube = &cube, world.mapMesh = &map, world.plusMesh = &plus, world.plusShadowMesh = &shadow;
    updateWorld(0.0);
    EXPECT_TRUE(world.plusMovingDown) << "a zero step still flips the bob at the start height";
    EXPECT_FLOAT_EQ(plus.model.m[3][1], 1.0f);
    updateWorld(0.5);
    EXPECT_NEAR(plus.model.m[0][0], 0.0f, 1e-5f) << "half a turn per second";
    updateWorld(10.0);  // 0.2 units per second: from 0.9 two units down in one step
    EXPECT_TRUE(plus.model.m[3][1] < -0.1f && !world.plusMovingDown) << "one overshoot";
    updateWorld(0.1);
    EXPECT_NEAR(plus.model.m[3][1], -1.08f, 1e-4f);
    float lowest = 10.0f, highest = -10.0f;
    for (int i = 0; i < 2000; ++i) {
        updateWorld(0.01);
        for (int k = 0; k < 16; ++k) ASSERT_EQ(plus.model.data()[k], shadow.model.data()[k]);
        if (i < 600) continue;  // first the way back from the overshoot
        lowest = std::min(lowest, plus.model.m[3][1]);
        highest = std::max(highest, plus.model.m[3][1]);
    }
    EXPECT_NEAR(lowest, -0.1f, 0.01f);
    EXPECT_NEAR(highest, 0.61f, 0.01f);
    world = World{};
}
