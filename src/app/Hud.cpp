#include "app/Hud.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Text.h"
#include "gpu/Texture.h"
#include "world/World.h"

#include "platform/GL.h"

#include <string>

namespace {

constexpr int kDigitPositions = 4;
constexpr int kDigitSize = 15;
constexpr int kDigitXs[kDigitPositions] = {15, 30, 45, 60};
constexpr int kDigitRowBelowTop = 100;

void appendFrameCounter(HudGroup& group, float framesPerSecond) {
    const int n = static_cast<int>(framesPerSecond);
    const int digits[kDigitPositions] = {(n / 1000) % 10, (n / 100) % 10, (n / 10) % 10, n % 10};
    for (int p = 0; p < kDigitPositions; ++p) group.push_back(kFrameDigit + p * 10 + digits[p]);
    group.push_back(kFramesText);
}

void appendInfoLines(HudGroup& group, const DisplaySettings& settings) {
    if (settings.showTextureInfo) {
        if (settings.samplingMode == 0) group.push_back(kSamplingNearestText);
        else if (settings.samplingMode == 1) group.push_back(kSamplingLinearText);
        if (settings.mipmapMode == 0) group.push_back(kMipmapOffText);
        else if (settings.mipmapMode == 1) group.push_back(kMipmapNearestText);
        else if (settings.mipmapMode == 2) group.push_back(kMipmapLinearText);
    }
    if (settings.showTransparencyInfo)
        group.push_back(settings.transparencyEnabled ? kTransparencyOnText : kTransparencyOffText);
}

Text* textFor(int id) {
    if (id >= kFrameDigit) return world.frameDigitTexts[static_cast<size_t>(id - kFrameDigit)];
    Text* const texts[] = {world.wonText,           world.gameOverText,        world.restartText,
                           world.livesText1,        world.livesText2,          world.livesText3,
                           world.samplingNearestText, world.samplingLinearText, world.mipmapOffText,
                           world.mipmapNearestText, world.mipmapLinearText,    world.transparencyOnText,
                           world.transparencyOffText, world.framesText};
    return texts[id];
}

// Font program, atlas on unit 0, sampler uniform.
void setFontStage() {
    const GLuint program = world.fontProgram->programHandle;
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, world.fontTexture->textureHandle);
    glUniform1i(glGetUniformLocation(program, "colorTexture"), 0);
}

}  // namespace

std::vector<HudGroup> planHud(const GameState& game, const DisplaySettings& settings, float framesPerSecond) {
    std::vector<HudGroup> groups;
    if (game.gameWon) groups.push_back({kWonText, kRestartText});
    if (game.gameOver) groups.push_back({kGameOverText, kRestartText});

    HudGroup main;
    if (game.lives == 3) main.push_back(kLivesText3);
    else if (game.lives == 2) main.push_back(kLivesText2);
    else if (game.lives == 1) main.push_back(kLivesText1);
    appendInfoLines(main, settings);
    if (settings.showFrameCounter) appendFrameCounter(main, framesPerSecond);
    groups.push_back(main);
    return groups;
}

void createFrameDigitTexts() {
    for (Text*& digit : world.frameDigitTexts) digit = new Text(world.fontProgram);
    placeFrameDigitTexts();
}

void placeFrameDigitTexts() {
    for (int p = 0; p < kDigitPositions; ++p)
        for (int d = 0; d < 10; ++d)
            world.frameDigitTexts[static_cast<size_t>(p * 10 + d)]->build(std::to_string(d).c_str(), kDigitXs[p],
                                                                          windowHeight - kDigitRowBelowTop, kDigitSize);
}

void drawHud(const GameState& game, float framesPerSecond) {
    for (const HudGroup& group : planHud(game, displaySettings, framesPerSecond)) {
        glDisable(GL_DEPTH_TEST);
        setFontStage();
        for (int id : group) textFor(id)->draw();
        glEnable(GL_DEPTH_TEST);
    }
}
