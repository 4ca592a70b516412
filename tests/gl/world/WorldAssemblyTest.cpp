// The world built from the real data files: its uniform uploads, the sky
// box's lighting override, the function keys and the release of every GL name.
#include "support/WorldFixture.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "world/DisplaySettings.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <GLFW/glfw3.h>

namespace {

class AssembledWorld : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        if (HasFatalFailure()) return;
        displaySettings = DisplaySettings{};
        initWorld(window);
        world.plusShadowMesh = world.sphereShadowMesh = nullptr;  // made by the render passes, not run here
    }
    void TearDown() override {
        EXPECT_EQ(takeGlErrors(), 0);
        if (world.basicProgram) destroyWorld();
        world = World{};
        WorldTest::TearDown();
    }
    // The seven textures that follow the keys carry the pair; the other three keep theirs.
    void expectFilters(GLint minFilter, GLint magFilter) {
        auto filters = [](Texture* texture) {
            GLint pair[2] = {0, 0};
            glBindTexture(GL_TEXTURE_2D, texture->textureHandle);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &pair[0]);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &pair[1]);
            return std::make_pair(pair[0], pair[1]);
        };
        for (Texture* t : {world.rockTexture, world.carpetTexture, world.waterColorTexture, world.waterNormalTexture,
                           world.waterDudvTexture, world.groundTexture, world.groundNormalTexture})
            EXPECT_EQ(filters(t), std::make_pair(minFilter, magFilter));
        for (Texture* t : {world.fontTexture, world.skyTexture, world.brickNormalTexture})
            EXPECT_EQ(filters(t), std::make_pair(GLint(GL_LINEAR_MIPMAP_LINEAR), GLint(GL_LINEAR)));
    }
    void press(int key, int action = GLFW_PRESS) { keyCallback(window, key, 0, action, 0); }
};

void expectVector(GLuint program, const char* name, Vector3 want) {
    const std::vector<float> v = uniformFloats(program, name, 3);
    EXPECT_LT(length(Vector3{v[0], v[1], v[2]} - want), 1e-4f) << name << " " << v[0] << ", " << v[1] << ", " << v[2];
}

}  // namespace

TEST_F(AssembledWorld, LightReachesTheLitProgramsAndTheSkyBoxOverrideIsUndone) {
    const GLuint lit[] = {world.basicProgram->programHandle, world.transparentProgram->programHandle,
                          world.normalMappingProgram->programHandle};
    EXPECT_EQ(uniformInt(world.transparentProgram->programHandle, "transparencyMode"), 1);
    for (GLuint p : lit) expectVector(p, "lightPosition", {2, 2, 2});
    glUseProgram(lit[0]);
    drawScene();
    expectVector(lit[0], "lightPosition", {2, 2, 2});
    expectVector(lit[0], "ambientPercentage", {0.3f, 0.3f, 0.3f});
    expectVector(lit[0], "specularPercentage", {0.3f, 0.3f, 0.3f});

    world.plusShadowMesh = world.plusMesh;  // updateWorld moves both
    displaySettings.lightRotationEnabled = true;
    updateWorld(4.5);  // a quarter turn
    for (GLuint p : lit) expectVector(p, "lightPosition", {2, 2, -2});
    for (int i = 0; i < 3; ++i) updateWorld(4.5);
    EXPECT_LT(length(world.lightPosition - Vector3{2, 2, 2}), 1e-4f) << "a full turn in 18 s";
    world.plusShadowMesh = nullptr;
}

TEST_F(AssembledWorld, FunctionKeysActOnPressOnly) {
    press(GLFW_KEY_F2, GLFW_REPEAT);
    press(GLFW_KEY_F4, GLFW_RELEASE);
    press(GLFW_KEY_F9, GLFW_REPEAT);
    EXPECT_TRUE(!displaySettings.showFrameCounter && !displaySettings.showTextureInfo && displaySettings.transparencyEnabled);
    expectFilters(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    // Mipmaps 2 -> 0 -> 1 -> 2 around the first F4's nearest sampling; no mipmap filter while they are off.
    const struct { int key; GLint minFilter, magFilter; } steps[] = {
        {GLFW_KEY_F5, GL_LINEAR, GL_LINEAR}, {GLFW_KEY_F4, GL_NEAREST, GL_NEAREST},
        {GLFW_KEY_F5, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST}, {GLFW_KEY_F5, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {GLFW_KEY_F4, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR}};
    for (const auto& step : steps) {
        press(step.key);
        EXPECT_TRUE(displaySettings.showTextureInfo);
        expectFilters(step.minFilter, step.magFilter);
    }
    press(GLFW_KEY_F9);
    EXPECT_EQ(uniformInt(world.transparentProgram->programHandle, "transparencyMode"), 0);
    for (GLint want : {GL_LINE, GL_FILL}) {
        press(GLFW_KEY_F3);
        GLint mode[2] = {0, 0};
        glGetIntegerv(GL_POLYGON_MODE, mode);
        EXPECT_EQ(mode[0], want);
    }
}

TEST_F(AssembledWorld, DestroyWorldReleasesEveryName) {
    const Names names = worldNames();
    destroyWorld();
    world = World{};
    glUseProgram(0);  // a deleted program that is current lives on until it is not
    glFinish();
    for (GLuint p : names.programs) EXPECT_FALSE(glIsProgram(p)) << p;
    for (GLuint s : names.shaders) EXPECT_FALSE(glIsShader(s)) << s;
    for (GLuint b : names.buffers) EXPECT_FALSE(glIsBuffer(b)) << b;
    for (GLuint v : names.vertexArrays) EXPECT_FALSE(glIsVertexArray(v)) << v;
    for (GLuint t : names.textures) EXPECT_FALSE(glIsTexture(t)) << t;
}
