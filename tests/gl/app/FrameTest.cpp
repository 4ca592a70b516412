// One whole frame of the game at 800 x 600 from the start position.
#include "support/WorldFixture.h"

#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"
#include "geometry/Terrain.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <algorithm>
#include <set>

namespace {

class GameFrame : public WorldTest {
protected:
    GameFrame() : WorldTest(800, 600) {}
    void SetUp() override {
        WorldTest::SetUp();
        if (HasFatalFailure()) return;
        initWorld(window);
        createFrameDigitTexts();
        glClearColor(0.0f, 0.8f, 1.0f, 0.5f);
        glViewport(0, 0, width, height);
        createRenderTargets();
        ASSERT_EQ(takeGlErrors(), 0) << "start-up";
    }
    void TearDown() override {
        destroyWorld();
        destroyRenderTargets();
        world = World{};
        WorldTest::TearDown();
    }
};

}  // namespace

TEST_F(GameFrame, AllPassesRunCleanAndProduceAPicture) {
    // The start view: on the ground at x = -5.5 looking along -z.
    Camera camera;
    GameState game;
    JumpState jump;
    FrameView view;
    view.vectors = cameraVectors(camera);
    ruleStep(camera, game, jump, view.vectors, 0.0f, [](int) { return false; },
             [](const Vector3& p) { return world.terrain->groundHeightAt(p); });
    view.frameTime = 1.0;
    view.playerPosition = camera.playerPosition;
    view.viewMatrix = cameraView(camera, view.vectors);
    view.cameraVP = multiply(world.projection, view.viewMatrix);
    renderPasses(view);
    EXPECT_EQ(takeGlErrors() + drainGetError(), 0) << "render passes";
    drawHud(GameState{}, 0.0f);
    updateWorld(0.016);
    EXPECT_EQ(takeGlErrors(), 0) << "HUD and animation";
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND));

    // The shadow map is a real depth picture, and the reflection image more than the clear colour.
    std::vector<float> depth(kShadowMapSize * kShadowMapSize);
    glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::set<float> depths;
    for (size_t i = 0; i < depth.size(); i += 97) depths.insert(depth[i]);
    EXPECT_GT(depths.size(), 10u);
    std::vector<unsigned char> reflection(size_t(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, renderTargets.reflectionColorTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, reflection.data());
    std::set<unsigned> colours;
    for (size_t i = 0; i < reflection.size(); i += 4 * 331) colours.insert(reflection[i] << 16 | reflection[i + 1] << 8 | reflection[i + 2]);
    EXPECT_GT(colours.size(), 20u);

    // Sky in the upper part of the frame, land or water in the lower part.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    for (int x : {100, 400, 700}) {
        const auto sky = readPixel(x, 560), ground = readPixel(x, 60);
        EXPECT_TRUE(sky[2] > 120 && sky[2] >= sky[0]) << "sky at x " << x;
        EXPECT_FALSE(ground[0] == 0 && ground[1] == 204 && ground[2] == 255) << "clear colour at x " << x;
    }
}
