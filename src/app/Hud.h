#pragma once
// The HUD: prebuilt texts drawn over the finished frame. What is shown
// follows from the game state and the display settings of the same frame;
// the HUD keeps no state of its own. Planning is GL-free; drawing draws the
// plan group by group, each with depth testing off and the font stage set.

#include "app/GameRules.h"
#include "world/DisplaySettings.h"

#include <vector>

// The texts the HUD can draw. A frame-counter digit d at position p (0 the
// most significant) is kFrameDigit + p * 10 + d.
enum HudText : int {
    kWonText,
    kGameOverText,
    kRestartText,
    kLivesText1,
    kLivesText2,
    kLivesText3,
    kSamplingNearestText,
    kSamplingLinearText,
    kMipmapOffText,
    kMipmapNearestText,
    kMipmapLinearText,
    kTransparencyOnText,
    kTransparencyOffText,
    kFramesText,
    kFrameDigit,
};

using HudGroup = std::vector<int>;

// The groups to draw, in order: the won message, the game-over message,
// then the lives, info lines and frame counter (always present, maybe empty).
std::vector<HudGroup> planHud(const GameState& game, const DisplaySettings& settings, float framesPerSecond);

// The 40 digit texts of the frame counter, into world.frameDigitTexts.
void createFrameDigitTexts();
// Builds them anew 100 pixels below the top of the current window.
void placeFrameDigitTexts();

// Draws the plan for this frame; leaves depth testing on, blending off, unit 0 active.
void drawHud(const GameState& game, float framesPerSecond);
