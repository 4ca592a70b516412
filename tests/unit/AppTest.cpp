// The GL-free parts of the app: the camera, the frame clock, the edges of
// the round's rules, what the HUD shows and the passes' matrices. A whole
// round through the frame loop: GameTest.cpp; every kind of config.txt: the
// rows of tests/gl/bad-inputs.txt.
#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <functional>
#include <set>
#include <tuple>

namespace {

void expectNear(const Vector3& got, const Vector3& want, float tolerance, const std::string& what) {
    EXPECT_LT(length(got - want), tolerance) << what << ": " << got.x << ", " << got.y << ", " << got.z;
}

// One round driven frame by frame: land of height 2 puts the eye at 2 + 0.4 - 2 = 0.4.
struct Round {
    Camera camera;
    GameState game;
    JumpState jump;
    std::function<float(float x)> ground = [](float) { return 2.0f; };
    std::set<int> held;
    void frame(float dt = 0.05f) {
        ruleStep(camera, game, jump, cameraVectors(camera), dt, [this](int key) { return held.count(key) > 0; },
                 [this](const Vector3& p) { return ground(p.x); });
        winningLineStep(camera, game);
    }
    const Vector3& at() const { return camera.playerPosition; }
};

}  // namespace

// The mouse turns the view 0.005 radians a pixel from the integer centre and
// stops the pitch at 1.57 either way. Looking along +x, pitched up by 0.5: W
// and S move at 3 units a second along the view, flat; D and A sideways.
TEST(Camera, TheMouseTurnsAndTheKeysMoveIt) {
    for (auto [x, y, w, h, yaw, pitch] : {std::tuple{400.0, 280.0, 801, 601, 0.0f, 0.1f}, {0.0, 1000.0, 800, 600, 2.0f, -1.57f}, {400.0, -1e6, 800, 600, 0.0f, 1.57f}}) {
        Camera camera;
        camera.horizontalAngle = 0;
        applyMouseLook(camera, x, y, w, h);
        EXPECT_TRUE(std::abs(camera.horizontalAngle - yaw) < 1e-6f && std::abs(camera.verticalAngle - pitch) < 1e-6f) << y;
    }
    for (auto [key, moved] : {std::pair{GLFW_KEY_W, Vector3{1.3164f, 0, 0}}, {GLFW_KEY_S, {-1.3164f, 0, 0}}, {GLFW_KEY_D, {0.0012f, 0, 1.5f}},
                              {GLFW_KEY_A, {-0.0012f, 0, -1.5f}}}) {
        Camera camera;
        camera.horizontalAngle = 1.5707964f, camera.verticalAngle = 0.5f;
        moveByKeys(camera, cameraVectors(camera), 0.5f, [key = key](int k) { return k == key; });
        expectNear(camera.playerPosition - Vector3{-5.5f, 0, 0}, moved, 1e-4f, "key " + std::to_string(key));
    }
}

// The first step is the time since GLFW started; the rate is the frames of the
// last whole second, and after a stall the counted second catches up one a frame.
TEST(FrameClock, StepsAndCountsWholeSeconds) {
    FrameClock clock;
    clock.fpsTimer = 0.25;
    const struct { double time; float dt, fps; } frames[] = {
        {0.5, 0.5f, 0}, {1.0, 0.5f, 0}, {1.25, 0.25f, 3}, {1.5, 0.25f, 3}, {4.0, 2.5f, 2}, {4.125, 0.125f, 1}, {4.25, 0.125f, 1}, {4.5, 0.25f, 1}};
    for (const auto& f : frames) {
        EXPECT_FLOAT_EQ(clock.step(f.time), f.dt) << f.time;
        clock.countFrame(f.time);
        EXPECT_EQ(clock.framesPerSecond, f.fps) << f.time;
    }
}


// Land below 1.3 puts the eye below the water line at -0.3.
TEST(GameRules, TheWaterLineAndTheFieldsEdges) {
    for (const auto& [height, lost] : {std::pair{1.31f, false}, {1.29f, true}}) {
        Round round;
        round.ground = [height = height](float x) { return x > -5.0f ? height : 2.0f; };
        round.frame(0.0f);
        round.camera.playerPosition.x = -4.5f;
        round.frame(0.0f);
        round.frame(0.0f);
        EXPECT_EQ(round.game.lives, lost ? 2 : 3) << height;
    }
    for (auto [from, to] : {std::pair{Vector3{4.9f, 0, -6}, Vector3{4.9f, 0, -5.5f}}, {{-9, 0, 8}, {-5.8f, 0, 5.5f}}, {{7, 0, 5.45f}, {5.0f, 0, 5.45f}}}) {
        Round round;
        round.camera.playerPosition = from;
        round.frame(0.0f);
        EXPECT_TRUE(round.at().x == to.x && round.at().z == to.z) << from.x << ", " << from.z;
    }
    // Won and lost at once (a jump over the line into the water): each end state takes its own Enter.
    Round round;
    round.game = GameState{0, true, true};
    round.held = {GLFW_KEY_ENTER};
    round.camera.horizontalAngle = 1.2f;
    round.frame();
    EXPECT_TRUE(!round.game.gameWon && round.game.gameOver && round.game.lives == 3 && round.camera.horizontalAngle == 1.2f);
    round.frame();
    EXPECT_FALSE(round.game.gameOver);
}

// Steps of 0.15 from 0.4: the step past 1.5 above the ground turns it down in the same frame.
TEST(GameRules, AJumpRisesPastItsApexAndLandsAtEyeHeight) {
    Round round;
    round.frame(0.0f);
    round.held = {GLFW_KEY_SPACE};
    round.frame();
    round.held.clear();
    float highest = 0.0f;
    int frames = 1;
    for (; round.jump.airborne && frames < 1000; ++frames) round.frame(), highest = std::max(highest, round.at().y);
    EXPECT_NEAR(highest, 1.45f, 0.01f);
    EXPECT_NEAR(frames, 15.5f, 1.0f) << "up and down at three units per second";
    EXPECT_FLOAT_EQ(round.at().y, 0.4f);
    round.held = {GLFW_KEY_SPACE};
    round.frame();
    EXPECT_TRUE(round.jump.airborne) << "holding Space jumps again the frame after landing";
}

// Every text in its group and order; the round of GameTest.cpp shows the rest.
TEST(HudPlan, TextsFollowTheGameStateAndTheSwitches) {
    DisplaySettings all;
    all.showTextureInfo = all.showTransparencyInfo = all.showFrameCounter = true;
    EXPECT_EQ(planHud(GameState{}, all, 1234.9f), (std::vector<HudGroup>{{kLivesText3, kSamplingLinearText, kMipmapLinearText, kTransparencyOnText,
                                                                          kFrameDigit + 1, kFrameDigit + 12, kFrameDigit + 23, kFrameDigit + 34, kFramesText}}));
    EXPECT_EQ(planHud(GameState{0, true, true}, DisplaySettings{}, 98765.0f),
              (std::vector<HudGroup>{{kWonText, kRestartText}, {kGameOverText, kRestartText}, {}}));
}

// The light looks at the origin from (2, 2, 2) over a box 20 wide and 30 deep
// from 10 behind it; the lookup maps clip space into the unit cube; the
// mirrored camera sees every point where the camera sees its mirror image in
// y = -0.61, upside down.
TEST(RenderPasses, TheLightsBoxTheLookupAndTheMirror) {
    const Matrix4 light = lightDepthMVP({2, 2, 2});
    const float r = 0.70710678f;  // the light's right is (r, 0, -r); the origin lies sqrt(12) ahead of it
    for (auto [m, point, expected] : {std::tuple{light, Vector3{2, 2, 2}, Vector3{0, 0, -1.0f / 3.0f}}, {light, {0, 0, 0}, {0, 0, -0.10239f}},
                                      {light, {10 * r, 0, -10 * r}, {1, 0, -0.10239f}}, {shadowBias(), {-1, -1, -1}, {0, 0, 0}}, {shadowBias(), {1, 1, 1}, {1, 1, 1}}})
        expectNear(transformPoint(m, point), expected, 1e-4f, "light or lookup");
    Camera camera;
    camera.horizontalAngle = 2.0f, camera.verticalAngle = -0.3f;
    camera.playerPosition = {1, 0.5f, -2};
    const CameraVectors vectors = cameraVectors(camera);
    const Matrix4 view = cameraView(camera, vectors), mirror = mirroredView(camera.playerPosition, vectors);
    for (Vector3 q : {Vector3{0, 0, 0}, {3, -1, 2}, {-4, 2.5f, 1}}) {
        const Vector3 seen = transformPoint(view, q), mirrored = transformPoint(mirror, {q.x, -1.22f - q.y, q.z});
        expectNear(mirrored, {seen.x, -seen.y, seen.z}, 1e-3f, "mirrored");
    }
}
