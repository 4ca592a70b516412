#include "world/World.h"

#include "geometry/Cube.h"
#include "geometry/Mesh.h"
#include "geometry/Terrain.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Text.h"
#include "gpu/Texture.h"
#include "world/StartupTimes.h"

#include <GLFW/glfw3.h>

#include <string>

int windowWidth = 0;
int windowHeight = 0;
World world;
StartupTimes startupTimes;

namespace {

constexpr const char* kHeart = "\xC4";
constexpr const char* kTwoHearts = "\xC4\xC4";
constexpr const char* kThreeHearts = "\xC4\xC4\xC4";

void build(Text* text, const char* string, const TextPlacement& at) {
    text->build(string, at.x, at.y, at.size);
}

void setVector(ShaderProgram* program, const char* name, const Vector3& v) {
    glUniform3f(glGetUniformLocation(program->programHandle, name), v.x, v.y, v.z);
}

void uploadLight(ShaderProgram* program) {
    setVector(program, "lightPosition", world.lightPosition);
    setVector(program, "ambientPercentage", world.ambientPercentage);
    setVector(program, "specularPercentage", world.specularPercentage);
}

// The font program turns window pixels into clip space with the window's size.
void setFontWindowSize() {
    const GLuint font = world.fontProgram->programHandle;
    glUseProgram(font);
    glUniform1i(glGetUniformLocation(font, "width"), windowWidth);
    glUniform1i(glGetUniformLocation(font, "height"), windowHeight);
}

void createPrograms() {
    StartupStage stage(startupTimes.shaders);
    world.basicProgram = new ShaderProgram("Shader/basic.vert", "Shader/basic.frag");
    world.fontProgram = new ShaderProgram("Shader/font.vert", "Shader/font.frag");
    setFontWindowSize();
    world.transparentProgram = new ShaderProgram("Shader/transparent.vert", "Shader/transparent.frag");
    world.normalMappingProgram =
        new ShaderProgram("Shader/normalMapping.vert", "Shader/normalMapping.frag");
}

// Every HUD text built at its place in the current window. Texts start
// without GL names, so building them all after creating them all names them
// in the same order as building each one as it is made.
void placeHudTexts() {
    const HudLayout layout = hudLayout(windowWidth, windowHeight);
    build(world.wonText, "GEWONNEN", layout.bigMessage);
    build(world.gameOverText, "GAMEOVER", layout.bigMessage);
    build(world.restartText, "RESTART>>>ENTER", layout.restart);
    build(world.livesText1, kHeart, layout.lives);
    build(world.livesText2, kTwoHearts, layout.lives);
    build(world.livesText3, kThreeHearts, layout.lives);
    build(world.samplingNearestText, "Sampling:Nearest", layout.sampling);
    build(world.samplingLinearText, "Sampling:Linear", layout.sampling);
    build(world.mipmapOffText, "Mipmap:Off", layout.mipmap);
    build(world.mipmapNearestText, "Mipmap:Nearest", layout.mipmap);
    build(world.mipmapLinearText, "Mipmap:Linear", layout.mipmap);
    build(world.transparencyOnText, "Transparency:On", layout.transparency);
    build(world.transparencyOffText, "Transparency:Off", layout.transparency);
    build(world.framesText, "Frames", layout.frames);
}

void createHudTexts() {
    StartupStage stage(startupTimes.texts);
    for (Text** text : {&world.wonText, &world.restartText, &world.gameOverText, &world.livesText1, &world.livesText2,
                        &world.livesText3, &world.samplingNearestText, &world.samplingLinearText, &world.mipmapOffText,
                        &world.mipmapNearestText, &world.mipmapLinearText, &world.transparencyOnText,
                        &world.transparencyOffText, &world.framesText})
        *text = new Text(world.fontProgram);
    placeHudTexts();
}

void createSceneObjects() {
    StartupStage stage(startupTimes.models);
    const Matrix4 identity;
    world.cube = new Cube(translateBy(identity, {2.0f, 4.0f, 2.0f}), world.basicProgram);
    world.waterMesh = new Mesh(translateBy(scaleBy(identity, {12.0f, 0.3f, 12.0f}), {-0.5f, -3.0f, -0.5f}),
                               world.transparentProgram, "Models/cube_texture.obj");
    world.mapMesh = new Mesh(scaleBy(translateBy(identity, {0.0f, -1.0f, 0.0f}), {0.3f, 0.3f, 0.3f}),
                             world.normalMappingProgram, "Models/map2.obj");
    world.skyMesh = new Mesh(scaleBy(translateBy(identity, {0.0f, 1.0f, 0.0f}), {5.9f, 6.0f, 5.52f}),
                             world.basicProgram, "Models/cubeMap.obj");
    world.plusMesh = new Mesh(translateBy(scaleBy(identity, {0.2f, 0.2f, 0.2f}), {-2.0f, 5.0f, 15.5f}),
                              world.basicProgram, "Models/plus.obj");
    world.sphereMesh = new Mesh(translateBy(scaleBy(identity, {0.4f, 0.4f, 0.4f}), {0.0f, 5.0f, 0.0f}),
                                world.normalMappingProgram, "Models/sphere3.obj");
}

void createTextures() {
    StartupStage stage(startupTimes.textures);
    world.fontTexture = new Texture("Font/flipped_mit_herz.bmp");
    world.rockTexture = new Texture("Models/017roche.jpg");
    world.brickNormalTexture = new Texture("Models/brick20n.jpg");
    world.skyTexture = new Texture("Models/Above_The_Sea2.jpg");
    world.waterColorTexture = new Texture("Models/13_DIFFUSE.jpg");
    world.waterNormalTexture = new Texture("Models/water_normal3.jpg");
    world.waterDudvTexture = new Texture("Models/water_dudv3.jpg");
    world.carpetTexture = new Texture("Models/carpet.jpg");
    world.groundTexture = new Texture("Models/ground13.jpg");
    world.groundNormalTexture = new Texture("Models/ground13n.jpg");
}

// Light values go to the three lit programs; the water also starts blended.
void setUpLight() {
    world.lightPosition = {2.0f, 2.0f, 2.0f};
    world.ambientPercentage = {0.3f, 0.3f, 0.3f};
    world.specularPercentage = {0.3f, 0.3f, 0.3f};
    uploadLight(world.basicProgram);
    glUseProgram(world.transparentProgram->programHandle);
    glUniform1i(glGetUniformLocation(world.transparentProgram->programHandle, "transparencyMode"), 1);
    uploadLight(world.transparentProgram);
    glUseProgram(world.normalMappingProgram->programHandle);
    uploadLight(world.normalMappingProgram);
}

}  // namespace

HudLayout hudLayout(int w, int h) {
    HudLayout layout;
    const int bigX = static_cast<int>(static_cast<double>(w) / 4.5);
    const int restartX = static_cast<int>(static_cast<double>(w) / 6.5);
    // In 64 bits, so that no configured width overflows the product.
    layout.bigMessage = {bigX, h - h / 3, static_cast<int>((60LL * w) / 800)};
    layout.restart = {restartX, h - h / 2, static_cast<int>((40LL * w) / 800)};
    layout.lives = {w - 128, h - 64, 40};
    layout.sampling = {15, h - 25, 15};
    layout.mipmap = {15, h - 50, 15};
    layout.transparency = {15, h - 75, 15};
    layout.frames = {80, h - 100, 15};
    return layout;
}

Matrix4 cameraProjection(int w, int h) {
    const float aspect = static_cast<float>(w) / static_cast<float>(h);
    return perspective(60.0f, aspect, 0.01f, 20.0f);
}

void initWorld(GLFWwindow* window) {
    glEnable(GL_DEPTH_TEST);
    glfwSetWindowTitle(window, windowTitle);
    createPrograms();
    createHudTexts();
    createSceneObjects();
    glUseProgram(world.basicProgram->programHandle);
    world.projection = cameraProjection(windowWidth, windowHeight);
    createTextures();
    setUpLight();
    StartupStage stage(startupTimes.terrain);
    world.terrain = new Terrain(translateBy(Matrix4(), {0.0f, terrainOffsetY, 0.0f}), world.basicProgram,
                                terrainSpacing, terrainHeightScale);
}

void resizeWorld() {
    world.projection = cameraProjection(windowWidth, windowHeight);
    setFontWindowSize();
    placeHudTexts();
}

// Deleting a null member is a no-op, so members that were never built are skipped.
void destroyWorld() {
    for (ShaderProgram* program : {world.basicProgram, world.fontProgram, world.transparentProgram,
                                   world.normalMappingProgram})
        delete program;

    for (Text* text : {world.wonText, world.restartText, world.gameOverText, world.livesText1,
                       world.livesText2, world.livesText3, world.framesText, world.mipmapLinearText,
                       world.mipmapNearestText, world.mipmapOffText, world.samplingLinearText,
                       world.samplingNearestText, world.transparencyOnText, world.transparencyOffText})
        delete text;
    for (Text* digit : world.frameDigitTexts) delete digit;

    for (SceneObject* object : {world.cube, world.waterMesh, world.mapMesh, world.skyMesh, world.plusMesh,
                                world.plusShadowMesh, world.sphereMesh, world.sphereShadowMesh})
        delete object;

    for (Texture* texture : {world.fontTexture, world.rockTexture, world.brickNormalTexture,
                             world.skyTexture, world.waterColorTexture, world.waterNormalTexture,
                             world.waterDudvTexture, world.carpetTexture, world.groundTexture,
                             world.groundNormalTexture})
        delete texture;

    delete world.terrain;
}
