#include "app/GameRules.h"

#include "world/World.h"

#include <GLFW/glfw3.h>

namespace {

const Vector3 kStartPosition{-5.5f, 0.0f, 0.0f};
constexpr double kLimitTestX = 5.8;  // compared in double; the stored limit is the float 5.8f

// Back to the start with full lives; the camera angles and the jump stay.
void restart(Camera& camera, GameState& game) {
    camera.playerPosition = kStartPosition;
    game.lives = kStartLives;
}

// Movement and the jump request while playing; only Enter in the end states.
// Each end state clears only itself: a round both won and lost (a jump over
// the line into the water with the last life) takes Enter on two frames.
void stateGate(Camera& camera, GameState& game, JumpState& jump, const CameraVectors& vectors, float dt,
               const KeyPressed& pressed) {
    if (game.gameWon) {
        if (pressed(GLFW_KEY_ENTER)) {
            restart(camera, game);
            game.gameWon = false;
        }
        return;
    }
    if (game.gameOver) {
        if (pressed(GLFW_KEY_ENTER)) {
            restart(camera, game);
            game.gameOver = false;
        }
        return;
    }
    moveByKeys(camera, vectors, dt, pressed);
    if (pressed(GLFW_KEY_SPACE) && !jump.airborne) jump.rising = true;
}

void jumpPhases(Vector3& position, JumpState& jump, float dt, const GroundQuery& groundHeightAt) {
    if (jump.rising) {
        position.y = static_cast<float>(static_cast<double>(position.y) + static_cast<double>(dt) * kJumpSpeed);
        jump.airborne = true;
        const float ground = groundHeightAt(position);
        if (position.y > ground + kJumpApex + terrainOffsetY) {
            jump.falling = true;
            jump.rising = false;
        }
    }
    if (jump.falling) {
        position.y = static_cast<float>(static_cast<double>(position.y) - static_cast<double>(dt) * kJumpSpeed);
        const float ground = groundHeightAt(position);
        if (ground + terrainOffsetY + kEyeHeight >= position.y) jump = JumpState{};
    }
}

void keepInBounds(Vector3& position) {
    if (position.x > kLimitTestX) position.x = kLimitX;
    else if (position.x < -kLimitTestX) position.x = -kLimitX;
    if (position.z > kLimitZ) position.z = kLimitZ;
    else if (position.z < -kLimitZ) position.z = -kLimitZ;
}

}  // namespace

void ruleStep(Camera& camera, GameState& game, JumpState& jump, const CameraVectors& vectors, float dt,
              const KeyPressed& pressed, const GroundQuery& groundHeightAt) {
    Vector3& position = camera.playerPosition;
    stateGate(camera, game, jump, vectors, dt, pressed);
    jumpPhases(position, jump, dt, groundHeightAt);
    keepInBounds(position);

    if (static_cast<double>(position.y) < kWaterEyeY) {
        position = kStartPosition;
        game.lives -= 1;
    }
    if (game.lives == 0) game.gameOver = true;

    if (!jump.airborne) position.y = groundHeightAt(position) + kEyeHeight + terrainOffsetY;
}

void winningLineStep(Camera& camera, GameState& game) {
    if (camera.playerPosition.x > kWinningX) {
        game.gameWon = true;
        camera.playerPosition.x = kWinningX;
    }
}
