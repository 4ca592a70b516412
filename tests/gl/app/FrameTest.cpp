// One whole frame of the game at 800 x 600 from the start position: every
// pass leaves no GL error, the shadow map and the reflection hold a real
// picture, and the frame shows sky above and island or water below.

#include "support/WorldFixture.h"

#include "app/Camera.h"
#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"
#include "geometry/Terrain.h"
#include "gpu/ShaderProgram.h"
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

    // The start view: on the ground at x = -5.5 looking along -z.
    FrameView startView() {
        Camera camera;
        GameState game;
        JumpState jump;
        const CameraVectors vectors = cameraVectors(camera);
        ruleStep(camera, game, jump, vectors, 0.0f, [](int) { return false; },
                 [](const Vector3& p) { return world.terrain->groundHeightAt(p); });
        FrameView view;
        view.frameTime = 1.0;
        view.playerPosition = camera.playerPosition;
        view.vectors = vectors;
        view.viewMatrix = cameraView(camera, vectors);
        view.cameraVP = multiply(world.projection, view.viewMatrix);
        return view;
    }

    std::vector<unsigned char> readTexture(GLuint texture, GLenum format, GLenum type, size_t bytes) {
        std::vector<unsigned char> data(bytes);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, format, type, data.data());
        return data;
    }
};

bool isSkyBlue(const std::array<unsigned char, 4>& p) { return p[2] > 120 && p[2] >= p[0]; }

}  // namespace

TEST_F(GameFrame, AllPassesRunCleanAndProduceAPicture) {
    renderPasses(startView());
    EXPECT_EQ(takeGlErrors(), 0) << "render passes";
    EXPECT_EQ(drainGetError(), 0);
    drawHud(GameState{}, 0.0f);
    updateWorld(0.016);
    EXPECT_EQ(takeGlErrors(), 0) << "HUD and animation";

    // Culling was switched on by the shadow pass and stays on.
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // The shadow map is a real depth picture, not a cleared one.
    std::vector<float> depth(kShadowMapSize * kShadowMapSize);
    glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::set<float> distinct(depth.begin(), depth.begin() + 20000);
    for (size_t i = 0; i < depth.size(); i += 997) distinct.insert(depth[i]);
    EXPECT_GT(distinct.size(), 10u);
    EXPECT_LT(*std::min_element(depth.begin(), depth.end()), 1.0f);

    // The reflection image is more than the clear colour.
    const auto reflection =
        readTexture(renderTargets.reflectionColorTexture, GL_RGBA, GL_UNSIGNED_BYTE, size_t(width) * height * 4);
    std::set<unsigned> colours;
    for (size_t i = 0; i < reflection.size(); i += 4 * 331)
        colours.insert(reflection[i] << 16 | reflection[i + 1] << 8 | reflection[i + 2]);
    EXPECT_GT(colours.size(), 20u);

    // Sky in the upper part of the frame, land or water in the lower part.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    for (int x : {100, 400, 700}) {
        EXPECT_TRUE(isSkyBlue(readPixel(x, 560))) << "sky at x " << x;
        const auto ground = readPixel(x, 60);
        EXPECT_FALSE(ground[0] == 0 && ground[1] == 204 && ground[2] == 255) << "clear colour at x " << x;
    }
}

TEST_F(GameFrame, MirroredCameraLooksLevelWhenTheCameraDoes) {
    const FrameView view = startView();
    const Matrix4 mirrored = mirroredView(view.playerPosition, view.vectors);
    // The mirrored eye sits at -1.22 - y and still looks along -z.
    const Vector3 eye = transformPoint(mirrored, {-5.5f, -1.22f - view.playerPosition.y, 0.0f});
    EXPECT_NEAR(eye.x, 0.0f, 1e-4f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-4f);
    EXPECT_NEAR(eye.z, 0.0f, 1e-4f);
    const Vector3 ahead = transformPoint(mirrored, {-5.5f, -1.22f - view.playerPosition.y, -3.0f});
    EXPECT_NEAR(ahead.y, 0.0f, 1e-4f);
    EXPECT_NEAR(ahead.z, -3.0f, 1e-4f);
}
