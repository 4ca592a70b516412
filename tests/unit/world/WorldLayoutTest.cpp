// Window-size-dependent values of the world: HUD placements, projection,
// filter pairs, and the animation step (which needs no GL with the light
// rotation off).

#include "geometry/SceneObject.h"
#include "world/DisplaySettings.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <gtest/gtest.h>

namespace {

void expectPlacement(const TextPlacement& p, int x, int y, int size) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.size, size);
}

// An object that only animates, so updateWorld runs without a context.
class Marker : public AnimatedObject {
public:
    using AnimatedObject::AnimatedObject;
    void draw() override {}
};

Matrix4 plusModel() { return translateBy(scaleBy(Matrix4(), {0.2f, 0.2f, 0.2f}), {-2.0f, 5.0f, 15.5f}); }

struct AnimatedWorld : ::testing::Test {
    Marker cube{Matrix4()}, map{Matrix4()}, plus{plusModel()}, plusShadow{plusModel()};
    void SetUp() override {
        world = World{};
        displaySettings = DisplaySettings{};
        world.cube = &cube;
        world.mapMesh = &map;
        world.plusMesh = &plus;
        world.plusShadowMesh = &plusShadow;
    }
    void TearDown() override { world = World{}; }
    float plusY() const { return plus.model.m[3][1]; }
};

}  // namespace

TEST(WorldLayout, HudPlacementsFor800x600) {
    const HudLayout l = hudLayout(800, 600);
    expectPlacement(l.bigMessage, 177, 400, 60);
    expectPlacement(l.restart, 123, 300, 40);
    expectPlacement(l.lives, 672, 536, 40);
    expectPlacement(l.sampling, 15, 575, 15);
    expectPlacement(l.mipmap, 15, 550, 15);
    expectPlacement(l.transparency, 15, 525, 15);
    expectPlacement(l.frames, 80, 500, 15);
}

TEST(WorldLayout, HudPlacementsForFullHdAndOddSizes) {
    const HudLayout hd = hudLayout(1920, 1080);
    expectPlacement(hd.bigMessage, 426, 720, 144);
    expectPlacement(hd.restart, 295, 540, 96);
    expectPlacement(hd.lives, 1792, 1016, 40);
    const HudLayout odd = hudLayout(801, 601);
    EXPECT_EQ(odd.bigMessage.y, 401);
    EXPECT_EQ(odd.restart.y, 301);
    EXPECT_EQ(odd.bigMessage.x, 178);
    EXPECT_EQ(odd.bigMessage.size, 60);
}

TEST(WorldLayout, ProjectionFollowsTheAspect) {
    const Matrix4 p = cameraProjection(800, 600);
    EXPECT_FLOAT_EQ(p.m[0][0], 1.299038f);
    EXPECT_FLOAT_EQ(p.m[1][1], 1.7320509f);
    const Matrix4 hd = cameraProjection(1920, 1080);
    EXPECT_FLOAT_EQ(hd.m[0][0], 1.7320509f * 1080.0f / 1920.0f);
}

TEST(WorldLayout, FilterPairsNeverUseMipmapsWhenTheyAreOff) {
    GLint minFilter = 0, magFilter = 0;
    ASSERT_TRUE(filtersFor(0, 0, minFilter, magFilter));
    EXPECT_EQ(minFilter, GL_NEAREST);
    EXPECT_EQ(magFilter, GL_NEAREST);
    ASSERT_TRUE(filtersFor(1, 0, minFilter, magFilter));
    EXPECT_EQ(minFilter, GL_LINEAR);
    ASSERT_TRUE(filtersFor(0, 2, minFilter, magFilter));
    EXPECT_EQ(minFilter, GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(magFilter, GL_NEAREST);
    ASSERT_TRUE(filtersFor(1, 1, minFilter, magFilter));
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_FALSE(filtersFor(2, 0, minFilter, magFilter));
    EXPECT_FALSE(filtersFor(1, 3, minFilter, magFilter));
}

TEST_F(AnimatedWorld, ZeroStepStillFlipsTheBobFromTheStartHeight) {
    updateWorld(0.0);
    EXPECT_TRUE(world.plusMovingDown);
    EXPECT_FLOAT_EQ(plusY(), 1.0f);
}

TEST_F(AnimatedWorld, PlusBobsBetweenItsThresholdsAndTheShadowFollows) {
    updateWorld(0.0);
    float lowest = 10.0f, highest = -10.0f;
    for (int i = 0; i < 2000; ++i) {
        updateWorld(0.01);
        for (int k = 0; k < 16; ++k) ASSERT_EQ(plus.model.data()[k], plusShadow.model.data()[k]);
        if (i < 600) continue;  // first the way down from the start height
        lowest = std::min(lowest, plusY());
        highest = std::max(highest, plusY());
    }
    EXPECT_NEAR(lowest, -0.1f, 0.01f);
    EXPECT_NEAR(highest, 0.61f, 0.01f);
}

TEST_F(AnimatedWorld, LargeStepOvershootsOnceAndComesBack) {
    updateWorld(0.0);   // now moving down from 1.0
    updateWorld(10.0);  // 0.2 x 10 = 2 units down in one step
    EXPECT_LT(plusY(), -0.1f);
    EXPECT_FALSE(world.plusMovingDown);
    updateWorld(0.1);
    EXPECT_NEAR(plusY(), -0.98f, 1e-4f);
}

TEST_F(AnimatedWorld, PlusSpinsHalfATurnPerSecond) {
    updateWorld(0.5);
    EXPECT_NEAR(plus.model.m[0][0], 0.0f, 1e-5f);
    EXPECT_NEAR(plus.model.m[0][2], -0.2f, 1e-5f);
}
