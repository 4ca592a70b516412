// The rule step driven frame by frame with scripted keys and made-up ground,
// and the HUD texts that follow from the game state.
#include "app/GameRules.h"
#include "app/Hud.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <set>

namespace {

// Land at height 2 puts the eye at 2 + 0.4 - 2 = 0.4; water (height 1, for x in [lowFrom, lowTo]) at -0.6.
struct Round {
    Camera camera;
    GameState game;
    JumpState jump;
    float lowFrom = 100.0f, lowTo = 101.0f;
    GroundQuery ground = [this](const Vector3& p) { return p.x >= lowFrom && p.x <= lowTo ? 1.0f : 2.0f; };
    std::set<int> held;
    void frame(float dt = 0.016f, int times = 1) {
        for (int i = 0; i < times; ++i) {
            ruleStep(camera, game, jump, cameraVectors(camera), dt, [this](int key) { return held.count(key) > 0; }, ground);
            winningLineStep(camera, game);
        }
    }
    const Vector3& at() const { return camera.playerPosition; }
};

}  // namespace

TEST(GameRules, ARoundBothWonAndLostNeedsEnterOnTwoFrames) {
    Round round;
    round.game = GameState{0, true, true};
    round.held = {GLFW_KEY_ENTER};
    round.frame();
    EXPECT_FALSE(round.game.gameWon);
    EXPECT_TRUE(round.game.gameOver) << "each end state clears only itself";
    EXPECT_EQ(round.game.lives, 3);
    round.frame();
    EXPECT_FALSE(round.game.gameOver);
}

TEST(GameRules, LivesAreLostAFrameLaterUntilTheRoundIsOverAndOnlyEnterRestarts) {
    Round round;
    round.lowFrom = -5.0f, round.lowTo = -4.0f;
    round.frame(0.0f);
    EXPECT_FLOAT_EQ(round.at().y, 0.4f) << "start height";
    round.camera.playerPosition.x = -4.5f;
    round.frame(0.0f);
    EXPECT_EQ(round.game.lives, 3) << "the eye is lowered this frame, tested the next";
    round.frame(0.0f);
    EXPECT_EQ(round.game.lives, 2);
    EXPECT_LT(length(round.at() - Vector3{-5.5f, 0.4f, 0.0f}), 1e-6f) << "back at the start on the ground in the same frame";

    round.ground = [](const Vector3&) { return -FLT_MAX; };  // degenerate terrain: a life every frame
    round.frame(0.016f, 2);
    EXPECT_EQ(round.game.lives, 1);
    round.frame();
    EXPECT_TRUE(round.game.gameOver);
    round.ground = [](const Vector3&) { return 2.0f; };
    round.camera.horizontalAngle = 1.2f;
    round.held = {GLFW_KEY_W, GLFW_KEY_D, GLFW_KEY_SPACE};
    round.frame(0.5f);
    EXPECT_EQ(round.at().x, -5.5f) << "movement is frozen";
    EXPECT_FALSE(round.jump.airborne) << "no jump while over";
    round.held = {GLFW_KEY_ENTER};
    round.frame();
    EXPECT_TRUE(!round.game.gameOver && round.game.lives == 3);
    EXPECT_FLOAT_EQ(round.camera.horizontalAngle, 1.2f) << "a restart keeps the camera angles";
}

TEST(GameRules, CrossingTheLineWinsSnapsAndFreezesAndBoundsClampInTheSameFrame) {
    Round round;
    round.camera.horizontalAngle = 1.5707964f;  // along +x
    round.camera.playerPosition.x = 4.99f;
    round.held = {GLFW_KEY_W};
    round.frame(0.016f, 2);
    EXPECT_TRUE(round.game.gameWon);
    EXPECT_EQ(round.at().x, 5.0f) << "snapped, and W is not read after winning";
    round.held = {GLFW_KEY_ENTER};
    round.frame(0.0f);
    EXPECT_TRUE(!round.game.gameWon && round.at().x == -5.5f);
    round.held.clear();
    for (auto [from, to] : {std::pair{Vector3{7, 0, -6}, Vector3{5.8f, 0, -5.5f}}, {{-9, 0, 8}, {-5.8f, 0, 5.5f}}}) {
        round.camera.playerPosition = from;
        ruleStep(round.camera, round.game, round.jump, cameraVectors(round.camera), 0.0f, [](int) { return false; }, round.ground);
        EXPECT_TRUE(round.at().x == to.x && round.at().z == to.z) << from.x;
    }
}

TEST(GameRules, JumpRisesPastTheApexAndLandsAtEyeHeight) {
    Round round;
    round.frame(0.0f);
    round.held = {GLFW_KEY_SPACE};
    round.frame(0.05f);
    ASSERT_TRUE(round.jump.airborne);
    round.held.clear();
    float highest = 0.0f;
    int frames = 0;
    for (; round.jump.airborne && frames < 1000; ++frames) {
        round.frame(0.05f);
        highest = std::max(highest, round.at().y);
    }
    EXPECT_GT(highest, 1.5f - 0.15f) << "the apex test and the first fall step share a frame";
    EXPECT_FLOAT_EQ(round.at().y, 0.4f) << "landing frame puts the eye on the ground";
    EXPECT_NEAR(frames * 0.05f, 2 * 1.1f / 3.0f, 0.2f) << "up and down at three units per second";
    round.held = {GLFW_KEY_SPACE};
    round.frame(0.05f);
    EXPECT_TRUE(round.jump.airborne) << "holding Space jumps again the frame after landing";
}

TEST(HudPlan, TextsFollowTheGameStateAndTheSwitches) {
    auto plan = [](const GameState& game, const DisplaySettings& settings, float fps) {
        HudGroup all;
        for (const HudGroup& g : planHud(game, settings, fps)) all.insert(all.end(), g.begin(), g.end());
        return all;
    };
    auto digit = [](int position, int d) { return kFrameDigit + position * 10 + d; };
    EXPECT_EQ(plan(GameState{}, DisplaySettings{}, 60.0f), HudGroup{kLivesText3});
    EXPECT_EQ(plan(GameState{0, false, true}, DisplaySettings{}, 0.0f), (HudGroup{kGameOverText, kRestartText}));
    DisplaySettings on;
    on.showTextureInfo = on.showTransparencyInfo = on.showFrameCounter = true;
    on.samplingMode = on.mipmapMode = 0;
    on.transparencyEnabled = false;
    EXPECT_EQ(plan(GameState{0, false, false}, on, 60.9f), (HudGroup{kSamplingNearestText, kMipmapOffText, kTransparencyOffText,
                                                                     digit(0, 0), digit(1, 0), digit(2, 6), digit(3, 0), kFramesText}));
    on.showTextureInfo = on.showTransparencyInfo = false;
    EXPECT_EQ(plan(GameState{0, false, false}, on, 12345.0f), (HudGroup{digit(0, 2), digit(1, 3), digit(2, 4), digit(3, 5), kFramesText}));
}
