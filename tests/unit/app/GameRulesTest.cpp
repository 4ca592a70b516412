// The rule step driven frame by frame with scripted keys and made-up ground.

#include "app/GameRules.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <set>

namespace {

constexpr float kLand = 2.0f;       // terrain height of land: eye at 2 + 0.4 - 2 = 0.4
constexpr float kWater = 1.0f;      // eye at -0.6, below -0.3

// Land everywhere except x in [lowFrom, lowTo].
GroundQuery groundWithLowBand(float lowFrom, float lowTo) {
    return [=](const Vector3& p) { return (p.x >= lowFrom && p.x <= lowTo) ? kWater : kLand; };
}

struct Round {
    Camera camera;
    GameState game;
    JumpState jump;
    GroundQuery ground = groundWithLowBand(100.0f, 101.0f);
    std::set<int> held;

    void frame(float dt = 0.016f) {
        const CameraVectors vectors = cameraVectors(camera);
        ruleStep(camera, game, jump, vectors, dt, [this](int key) { return held.count(key) > 0; }, ground);
        winningLineStep(camera, game);
    }
    // Looks along +x, so W walks towards the goal.
    void faceGoal() { camera.horizontalAngle = 1.5707964f; }
};

}  // namespace

TEST(GameRules, StartsOnTheGroundAtEyeHeightWithThreeLives) {
    Round round;
    round.frame(0.0f);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.x, -5.5f);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.y, kLand + 0.4f - 2.0f);
    EXPECT_EQ(round.game.lives, 3);
}

TEST(GameRules, WaterCostsALifeOneFrameLaterAndRespawnsOnTheGround) {
    Round round;
    round.ground = groundWithLowBand(-5.0f, -4.0f);
    round.faceGoal();
    round.frame(0.0f);
    round.camera.playerPosition.x = -4.5f;  // step into the low band
    round.frame(0.0f);
    EXPECT_EQ(round.game.lives, 3) << "the eye is lowered this frame, tested the next";
    EXPECT_LT(round.camera.playerPosition.y, -0.3f);
    round.frame(0.0f);
    EXPECT_EQ(round.game.lives, 2);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.x, -5.5f);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.y, 0.4f) << "back on the ground in the same frame";
}

TEST(GameRules, ThirdLossEndsTheRoundAndOnlyEnterRestarts) {
    Round round;
    round.ground = [](const Vector3&) { return kWater; };  // nowhere to stand
    round.frame();
    round.frame();
    round.frame();
    round.frame();
    EXPECT_EQ(round.game.lives, 0);
    EXPECT_TRUE(round.game.gameOver);

    round.ground = groundWithLowBand(100.0f, 101.0f);
    round.camera.horizontalAngle = 1.2f;
    round.held = {GLFW_KEY_W, GLFW_KEY_D, GLFW_KEY_SPACE};
    const Vector3 before = round.camera.playerPosition;
    round.frame(0.5f);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.x, before.x) << "movement is frozen";
    EXPECT_FALSE(round.jump.rising) << "no jump while over";

    round.held = {GLFW_KEY_ENTER};
    round.frame();
    EXPECT_FALSE(round.game.gameOver);
    EXPECT_EQ(round.game.lives, 3);
    EXPECT_FLOAT_EQ(round.camera.horizontalAngle, 1.2f) << "a restart keeps the camera angles";
}

TEST(GameRules, CrossingTheLineWinsSnapsAndFreezes) {
    Round round;
    round.faceGoal();
    round.camera.playerPosition.x = 4.99f;
    round.held = {GLFW_KEY_W};
    round.frame(0.1f);
    EXPECT_TRUE(round.game.gameWon);
    EXPECT_EQ(round.camera.playerPosition.x, 5.0f);
    round.frame(0.1f);
    EXPECT_EQ(round.camera.playerPosition.x, 5.0f) << "W is not read after winning";

    round.held = {GLFW_KEY_ENTER};
    round.frame(0.0f);
    EXPECT_FALSE(round.game.gameWon);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.x, -5.5f);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.y, 0.4f);
}

TEST(GameRules, BoundsClampInTheSameFrame) {
    Round round;
    round.camera.playerPosition = {7.0f, 0.4f, -6.0f};
    const CameraVectors vectors = cameraVectors(round.camera);
    ruleStep(round.camera, round.game, round.jump, vectors, 0.0f, [](int) { return false; }, round.ground);
    EXPECT_EQ(round.camera.playerPosition.x, 5.8f);
    EXPECT_EQ(round.camera.playerPosition.z, -5.5f);
    round.camera.playerPosition = {-9.0f, 0.4f, 8.0f};
    ruleStep(round.camera, round.game, round.jump, vectors, 0.0f, [](int) { return false; }, round.ground);
    EXPECT_EQ(round.camera.playerPosition.x, -5.8f);
    EXPECT_EQ(round.camera.playerPosition.z, 5.5f);
}

TEST(GameRules, JumpRisesPastTheApexAndLandsAtEyeHeight) {
    Round round;
    round.frame(0.0f);
    round.held = {GLFW_KEY_SPACE};
    float highest = round.camera.playerPosition.y;
    int frames = 0;
    round.frame(0.05f);
    EXPECT_TRUE(round.jump.airborne);
    round.held.clear();
    while (round.jump.airborne && frames < 1000) {
        round.frame(0.05f);
        highest = std::max(highest, round.camera.playerPosition.y);
        ++frames;
    }
    EXPECT_FALSE(round.jump.airborne);
    // The apex test and the first fall step share a frame, so a frame ends
    // at most one step below the apex.
    EXPECT_GT(highest, kLand + 1.5f - 2.0f - 0.15f);
    EXPECT_FLOAT_EQ(round.camera.playerPosition.y, 0.4f) << "landing frame puts the eye on the ground";
    EXPECT_NEAR(frames * 0.05f, 2 * 1.1f / 3.0f, 0.2f) << "up and down at three units per second";

    round.held = {GLFW_KEY_SPACE};
    round.frame(0.05f);
    EXPECT_TRUE(round.jump.airborne) << "holding Space jumps again the frame after landing";
}

TEST(GameRules, DegenerateTerrainCostsALifeEveryFrameUntilOver) {
    Round round;
    round.ground = [](const Vector3&) { return -FLT_MAX; };
    round.frame();
    EXPECT_EQ(round.game.lives, 3);
    round.frame();
    EXPECT_EQ(round.game.lives, 2);
    round.frame();
    EXPECT_EQ(round.game.lives, 1);
    round.frame();
    EXPECT_EQ(round.game.lives, 0);
    EXPECT_TRUE(round.game.gameOver);
}
