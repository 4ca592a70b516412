// Which HUD texts a frame draws, from the game state and display settings.

#include "app/Hud.h"

#include <gtest/gtest.h>

namespace {

HudGroup flatten(const std::vector<HudGroup>& groups) {
    HudGroup all;
    for (const HudGroup& g : groups) all.insert(all.end(), g.begin(), g.end());
    return all;
}

int digit(int position, int d) { return kFrameDigit + position * 10 + d; }

}  // namespace

TEST(HudPlan, PlayingWithThreeLivesAndNoSwitchesDrawsOnlyTheHearts) {
    EXPECT_EQ(flatten(planHud(GameState{}, DisplaySettings{}, 60.0f)), HudGroup{kLivesText3});
    GameState two;
    two.lives = 2;
    EXPECT_EQ(flatten(planHud(two, DisplaySettings{}, 0.0f)), HudGroup{kLivesText2});
}

TEST(HudPlan, GameOverDrawsTheMessagesAndNoHearts) {
    GameState over;
    over.lives = 0;
    over.gameOver = true;
    const auto groups = planHud(over, DisplaySettings{}, 0.0f);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0], (HudGroup{kGameOverText, kRestartText}));
    EXPECT_TRUE(groups[1].empty());
}

TEST(HudPlan, WonMessageComesFirstAndKeepsTheHearts) {
    GameState won;
    won.gameWon = true;
    won.lives = 1;
    EXPECT_EQ(flatten(planHud(won, DisplaySettings{}, 0.0f)), (HudGroup{kWonText, kRestartText, kLivesText1}));
}

TEST(HudPlan, FrameCounterShowsFourDigitsWithLeadingZeros) {
    DisplaySettings settings;
    settings.showFrameCounter = true;
    GameState none;
    none.lives = 0;
    EXPECT_EQ(flatten(planHud(none, settings, 60.9f)),
              (HudGroup{digit(0, 0), digit(1, 0), digit(2, 6), digit(3, 0), kFramesText}));
    EXPECT_EQ(flatten(planHud(none, settings, 12345.0f)),
              (HudGroup{digit(0, 2), digit(1, 3), digit(2, 4), digit(3, 5), kFramesText}));
}

TEST(HudPlan, InfoLinesFollowTheModes) {
    DisplaySettings settings;
    settings.showTextureInfo = true;
    settings.samplingMode = 0;
    settings.mipmapMode = 0;
    settings.showTransparencyInfo = true;
    settings.transparencyEnabled = false;
    GameState none;
    none.lives = 0;
    EXPECT_EQ(flatten(planHud(none, settings, 0.0f)),
              (HudGroup{kSamplingNearestText, kMipmapOffText, kTransparencyOffText}));
    settings.samplingMode = 1;
    settings.mipmapMode = 1;
    settings.transparencyEnabled = true;
    EXPECT_EQ(flatten(planHud(none, settings, 0.0f)),
              (HudGroup{kSamplingLinearText, kMipmapNearestText, kTransparencyOnText}));
    settings.mipmapMode = 7;
    EXPECT_EQ(flatten(planHud(none, settings, 0.0f)), (HudGroup{kSamplingLinearText, kTransparencyOnText}));
}
