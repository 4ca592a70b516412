#pragma once
// The round: walk from x = -5.5 to the line x = 5 without stepping into the
// water, with three lives. GL-free: the rule step needs only the key states
// and the terrain's height query, so tests drive it with plain functions.
//
// In the won and over states only Enter is read (it restarts the round);
// the mouse still turns the camera and a jump in progress still finishes.

#include "app/Camera.h"

#include <functional>

constexpr int kStartLives = 3;
constexpr float kEyeHeight = 0.4f;       // above the ground
constexpr float kJumpApex = 1.5f;        // above the ground
constexpr double kJumpSpeed = 3.0;       // units per second, up and down
constexpr double kWaterEyeY = -0.3;      // an eye below this is in the water
constexpr float kLimitX = 5.8f;
constexpr float kLimitZ = 5.5f;
constexpr float kWinningX = 5.0f;

struct GameState {
    int lives = kStartLives;
    bool gameWon = false;   // cleared only by a restart
    bool gameOver = false;  // cleared only by a restart
};

struct JumpState {
    bool rising = false;    // upward phase
    bool falling = false;   // downward phase
    bool airborne = false;  // a jump is in progress
};

// Terrain height under a world point, before the terrain's vertical offset.
using GroundQuery = std::function<float(const Vector3&)>;

// Everything between the camera vectors and the view matrix of a frame: the
// state gate (movement, restart, jump request), the jump phases, the bounds,
// the water, game over and the ground following.
void ruleStep(Camera& camera, GameState& game, JumpState& jump, const CameraVectors& vectors, float dt,
              const KeyPressed& pressed, const GroundQuery& groundHeightAt);

// After the view matrix: crossing x = 5 wins and snaps x back to 5.
void winningLineStep(Camera& camera, GameState& game);
