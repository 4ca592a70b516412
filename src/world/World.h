#pragma once
// The one process-wide record of everything the game draws that is not
// private to a render pass: programs, HUD texts, scene objects, textures,
// the camera projection and the light. initWorld builds it once, after the
// GL context is current and the window size is known; start-up then adds the
// frame-counter digits and the two shadow casters. destroyWorld releases all
// of it after the frame loop, while the context still exists. No member is
// replaced in between; objects only change their own state.

#include "math/Matrix4.h"

#include <array>

class ShaderProgram;
class Text;
class SceneObject;
class Texture;
class Terrain;
struct GLFWwindow;

// The size of the window's framebuffer in pixels: at start-up the size the
// window really got for the one "config.txt" asked, later whatever the
// desktop resizes it to (never 0: a window without pixels draws nothing).
extern int windowWidth;
extern int windowHeight;

// Vertical offset of the terrain; the game rules add it to every ground height.
constexpr float terrainOffsetY = -2.0f;
// Grid spacing and full-intensity height of both terrains (visible and shadow).
constexpr float terrainSpacing = 0.06f;
constexpr float terrainHeightScale = 2.0f;
// The window's title before the first frame shows the frame rate.
constexpr const char* windowTitle = "Quellmoor";

struct World {
    // Programs
    ShaderProgram* basicProgram = nullptr;         // lit, textured, shadowed: terrain, plus, sky box
    ShaderProgram* fontProgram = nullptr;          // every HUD text
    ShaderProgram* transparentProgram = nullptr;   // the water surface
    ShaderProgram* normalMappingProgram = nullptr; // the sphere

    // HUD texts; texts that share a placement are alternatives
    Text* wonText = nullptr;
    Text* restartText = nullptr;
    Text* gameOverText = nullptr;
    Text* livesText1 = nullptr;
    Text* livesText2 = nullptr;
    Text* livesText3 = nullptr;
    Text* samplingNearestText = nullptr;
    Text* samplingLinearText = nullptr;
    Text* mipmapOffText = nullptr;
    Text* mipmapNearestText = nullptr;
    Text* mipmapLinearText = nullptr;
    Text* transparencyOnText = nullptr;
    Text* transparencyOffText = nullptr;
    Text* framesText = nullptr;
    std::array<Text*, 40> frameDigitTexts{};  // position p (0 most significant), digit d at p*10+d

    // Scene objects
    SceneObject* cube = nullptr;        // built and animated, never drawn
    SceneObject* waterMesh = nullptr;   // drawn blended by the water step of the passes
    SceneObject* mapMesh = nullptr;     // built and animated, never drawn
    SceneObject* skyMesh = nullptr;
    SceneObject* plusMesh = nullptr;
    SceneObject* sphereMesh = nullptr;
    SceneObject* plusShadowMesh = nullptr;    // shadow-pass copies, made by the render-pass set-up
    SceneObject* sphereShadowMesh = nullptr;
    Terrain* terrain = nullptr;         // the visible terrain; the game rules query its height

    // Textures, in creation order
    Texture* fontTexture = nullptr;
    Texture* rockTexture = nullptr;
    Texture* brickNormalTexture = nullptr;  // loaded, bound by no draw
    Texture* skyTexture = nullptr;
    Texture* waterColorTexture = nullptr;
    Texture* waterNormalTexture = nullptr;
    Texture* waterDudvTexture = nullptr;
    Texture* carpetTexture = nullptr;
    Texture* groundTexture = nullptr;
    Texture* groundNormalTexture = nullptr;

    Matrix4 projection{0.0f};                  // camera perspective, built once
    Vector3 lightPosition{2.0f, 2.0f, 2.0f};   // turned by updateWorld when enabled
    Vector3 ambientPercentage{0.3f, 0.3f, 0.3f};
    Vector3 specularPercentage{0.3f, 0.3f, 0.3f};
    bool plusMovingDown = false;               // bobbing direction of the plus and its shadow
};

extern World world;

// Where one HUD text goes, in window pixels from the lower-left corner.
struct TextPlacement {
    int x, y, size;
};

// The HUD placements for a window of width w and height h.
struct HudLayout {
    TextPlacement bigMessage;   // "GEWONNEN" and "GAMEOVER"
    TextPlacement restart;      // "RESTART>>>ENTER"
    TextPlacement lives;        // the hearts
    TextPlacement sampling;
    TextPlacement mipmap;
    TextPlacement transparency;
    TextPlacement frames;       // "Frames", after the four counter digits
};
HudLayout hudLayout(int w, int h);

// The camera projection: 60 degrees vertical, aspect w/h, near 0.01, far 20.
Matrix4 cameraProjection(int w, int h);

void initWorld(GLFWwindow* window);
void destroyWorld();
// After windowWidth and windowHeight changed: the projection's aspect, the
// font program's window size and every HUD text placed anew by hudLayout.
void resizeWorld();
