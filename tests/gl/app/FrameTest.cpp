// One whole frame of the game at 800 x 600 from the start position.
#include "support/WorldFixture.h"

#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"
#include "geometry/Terrain.h"
#include "math/SkyProjection.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <memory>
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

// The sky picture read the way the sky box shader reads it at 800 x 600,
// where it is magnified: bilinear, wrapping round in u.
std::array<float, 3> skyTexel(FIBITMAP* sky, const Vector3& direction) {
    const int w = static_cast<int>(FreeImage_GetWidth(sky)), h = static_cast<int>(FreeImage_GetHeight(sky));
    const Vector2 c = skyPictureCoordinate(direction);
    const float x = c.x * w - 0.5f, y = std::clamp(c.y * h - 0.5f, 0.0f, h - 1.0f);
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(y);
    const float fx = x - x0, fy = y - y0;
    std::array<float, 3> rgb{};
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const BYTE* p = FreeImage_GetScanLine(sky, std::min(y0 + dy, h - 1)) + 3 * (((x0 + dx) % w + w) % w);
            const float weight = (dx ? fx : 1.0f - fx) * (dy ? fy : 1.0f - fy);
            for (int k = 0; k < 3; ++k) rgb[k] += weight * p[2 - k];
        }
    return rgb;
}

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

    // Above the horizon the sky box shows the sky picture in the direction
    // through each pixel; below it lies land or water, never the clear colour.
    std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)> sky(FreeImage_Load(FIF_JPEG, "Models/Above_The_Sea2.jpg", 0), FreeImage_Unload);
    ASSERT_TRUE(sky);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    const float tanHalf = std::tan(0.5235988f), aspect = 800.0f / 600.0f;
    for (const auto& [x, y] : {std::pair{100, 560}, {180, 474}, {450, 479}, {150, 389}, {300, 344}}) {
        const float sx = (2.0f * (x + 0.5f) / width - 1.0f) * tanHalf * aspect, sy = (2.0f * (y + 0.5f) / height - 1.0f) * tanHalf;
        const Vector3 through = view.vectors.right * sx + view.vectors.up * sy + view.vectors.direction;
        const auto shown = readPixel(x, y);
        const auto expected = skyTexel(sky.get(), through);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(shown[k], expected[k], 4.0f) << "sky at " << x << ", " << y << " channel " << k;
    }
    for (int x : {100, 400, 700}) {
        const auto ground = readPixel(x, 60);
        EXPECT_FALSE(ground[0] == 0 && ground[1] == 204 && ground[2] == 255) << "clear colour at x " << x;
    }
}
