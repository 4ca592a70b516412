// The world built from the real data files: the uniforms it uploads, the
// sky box's lighting override, the function keys and the release of every
// GL name.

#include "support/WorldFixture.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "world/DisplaySettings.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"
#include "geometry/SceneObject.h"

#include <GLFW/glfw3.h>

namespace {

class AssembledWorld : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        if (HasFatalFailure()) return;
        displaySettings = DisplaySettings{};
        initWorld(window);
        // The shadow copies come from the render-pass set-up; the sky box
        // step is all this test needs, so borrow the visible meshes.
        world.plusShadowMesh = nullptr;
        world.sphereShadowMesh = nullptr;
    }
    void TearDown() override {
        if (world.basicProgram) destroyWorld();
        world = World{};
        WorldTest::TearDown();
    }
    void press(int key) { keyCallback(window, key, 0, GLFW_PRESS, 0); }

    std::vector<Texture*> followingTextures() const {
        return {world.rockTexture, world.carpetTexture, world.waterColorTexture, world.waterNormalTexture,
                world.waterDudvTexture, world.groundTexture, world.groundNormalTexture};
    }
    std::vector<Texture*> fixedTextures() const {
        return {world.fontTexture, world.skyTexture, world.brickNormalTexture};
    }
    static std::pair<GLint, GLint> filters(Texture* texture) {
        GLint minFilter = 0, magFilter = 0;
        glBindTexture(GL_TEXTURE_2D, texture->textureHandle);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        return {minFilter, magFilter};
    }
    void expectFollowing(GLint minFilter, GLint magFilter) {
        for (Texture* t : followingTextures()) EXPECT_EQ(filters(t), std::make_pair(minFilter, magFilter));
        for (Texture* t : fixedTextures())
            EXPECT_EQ(filters(t), std::make_pair(GLint(GL_LINEAR_MIPMAP_LINEAR), GLint(GL_LINEAR)));
    }
};

void expectVector(const std::vector<float>& v, float x, float y, float z) {
    ASSERT_EQ(v.size(), 3u);
    EXPECT_FLOAT_EQ(v[0], x);
    EXPECT_FLOAT_EQ(v[1], y);
    EXPECT_FLOAT_EQ(v[2], z);
}

}  // namespace

TEST_F(AssembledWorld, UploadsTheLightAndTheWatersBlendMode) {
    EXPECT_EQ(uniformInt(world.transparentProgram->programHandle, "transparencyMode"), 1);
    for (ShaderProgram* p : {world.basicProgram, world.transparentProgram, world.normalMappingProgram}) {
        expectVector(uniformFloats(p->programHandle, "lightPosition", 3), 2, 2, 2);
        expectVector(uniformFloats(p->programHandle, "ambientPercentage", 3), 0.3f, 0.3f, 0.3f);
    }
    EXPECT_EQ(uniformInt(world.fontProgram->programHandle, "width"), width);
    EXPECT_EQ(uniformInt(world.fontProgram->programHandle, "height"), height);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(GLuint(current), world.normalMappingProgram->programHandle);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(AssembledWorld, SceneObjectsStartWhereTheWorldPutsThem) {
    EXPECT_FLOAT_EQ(world.waterMesh->model.m[3][1], -0.90000004f);
    EXPECT_FLOAT_EQ(world.plusMesh->model.m[3][0], -0.4f);
    EXPECT_FLOAT_EQ(world.plusMesh->model.m[3][2], 3.1f);
    EXPECT_FLOAT_EQ(world.sphereMesh->model.m[3][1], 2.0f);
    EXPECT_FLOAT_EQ(world.skyMesh->model.m[0][0], 5.9f);
    EXPECT_FLOAT_EQ(world.skyMesh->model.m[3][1], 1.0f);
}

TEST_F(AssembledWorld, SkyBoxOverrideIsUndoneAfterTheScene) {
    const GLuint basic = world.basicProgram->programHandle;
    glUseProgram(basic);
    drawScene();
    expectVector(uniformFloats(basic, "lightPosition", 3), 2, 2, 2);
    expectVector(uniformFloats(basic, "ambientPercentage", 3), 0.3f, 0.3f, 0.3f);
    expectVector(uniformFloats(basic, "specularPercentage", 3), 0.3f, 0.3f, 0.3f);
    GLint current = 0, unit = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(GLuint(current), basic);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(AssembledWorld, SamplingAndMipmapKeysSetTheSevenTextures) {
    press(GLFW_KEY_F4);  // linear -> nearest sampling
    EXPECT_TRUE(displaySettings.showTextureInfo);
    expectFollowing(GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST);
    press(GLFW_KEY_F5);  // mipmaps linear -> off
    expectFollowing(GL_NEAREST, GL_NEAREST);
    press(GLFW_KEY_F4);  // back to linear, mipmaps still off
    expectFollowing(GL_LINEAR, GL_LINEAR);
    press(GLFW_KEY_F5);
    EXPECT_EQ(displaySettings.mipmapMode, 1);
    expectFollowing(GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR);
    press(GLFW_KEY_F5);
    EXPECT_EQ(displaySettings.mipmapMode, 2);
    expectFollowing(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(AssembledWorld, RepeatAndReleaseDoNothing) {
    keyCallback(window, GLFW_KEY_F2, 0, GLFW_REPEAT, 0);
    keyCallback(window, GLFW_KEY_F4, 0, GLFW_RELEASE, 0);
    keyCallback(window, GLFW_KEY_F9, 0, GLFW_REPEAT, 0);
    EXPECT_FALSE(displaySettings.showFrameCounter);
    EXPECT_EQ(displaySettings.samplingMode, 1);
    EXPECT_TRUE(displaySettings.transparencyEnabled);
    expectFollowing(GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR);
}

TEST_F(AssembledWorld, TransparencyAndWireframeToggle) {
    press(GLFW_KEY_F9);
    EXPECT_FALSE(displaySettings.transparencyEnabled);
    EXPECT_TRUE(displaySettings.showTransparencyInfo);
    EXPECT_EQ(uniformInt(world.transparentProgram->programHandle, "transparencyMode"), 0);

    GLint mode[2] = {0, 0};
    press(GLFW_KEY_F3);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    press(GLFW_KEY_F3);
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);

    press(GLFW_KEY_F2);
    press(GLFW_KEY_F6);
    EXPECT_TRUE(displaySettings.showFrameCounter);
    EXPECT_TRUE(displaySettings.lightRotationEnabled);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(AssembledWorld, TurningLightReachesEveryLitProgramAndCompletesAFullTurn) {
    world.plusShadowMesh = world.plusMesh;  // updateWorld moves both; same object is fine here
    displaySettings.lightRotationEnabled = true;
    updateWorld(4.5);  // a quarter turn
    for (ShaderProgram* p : {world.basicProgram, world.transparentProgram, world.normalMappingProgram}) {
        const auto light = uniformFloats(p->programHandle, "lightPosition", 3);
        EXPECT_FLOAT_EQ(light[0], world.lightPosition.x);
        EXPECT_FLOAT_EQ(light[2], world.lightPosition.z);
    }
    EXPECT_NEAR(world.lightPosition.x, 2.0f, 1e-4f);
    EXPECT_NEAR(world.lightPosition.z, -2.0f, 1e-4f);
    for (int i = 0; i < 3; ++i) updateWorld(4.5);
    EXPECT_NEAR(world.lightPosition.x, 2.0f, 1e-4f);
    EXPECT_NEAR(world.lightPosition.z, 2.0f, 1e-4f);
    EXPECT_FLOAT_EQ(world.lightPosition.y, 2.0f);
    world.plusShadowMesh = nullptr;
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
