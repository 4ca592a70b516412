// Renders the game's frame from chosen views into PNG files: the pictures in
// the README, and a quick look at a change without walking there.
//
// Usage, from data/ under an X server:
//   quellmoor_view [--gameover] WIDTH HEIGHT OUT.png X Z YAW PITCH [OUT.png X Z YAW PITCH ...]
// X and Z place the eye, which stands kEyeHeight above the ground as in the
// game (or kEyeHeight above the water where there is no land); YAW and PITCH
// are the camera's angles in radians (yaw 3.14 looks along -z). The HUD is
// that of a round just started, or with --gameover that of a lost one. It
// prints where each eye stands.
#include "BenchRun.h"

#include "app/Camera.h"
#include "app/Game.h"
#include "app/GameRules.h"
#include "app/Hud.h"
#include "geometry/Terrain.h"
#include "world/World.h"

#include <FreeImage.h>
#include "platform/GL.h"
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kArgsPerView = 5;
constexpr double kShotTime = 10.0;  // seconds since start, for the water's motion

struct View {
    std::string path;
    float x, z, yaw, pitch;
};


// The eye as the ground following would leave it, over land or water.
Camera placeCamera(const View& view) {
    Camera camera;
    camera.playerPosition = {view.x, 0.0f, view.z};
    camera.horizontalAngle = view.yaw;
    camera.verticalAngle = view.pitch;
    const float ground = world.terrain->groundHeightAt(camera.playerPosition) + terrainOffsetY;
    camera.playerPosition.y = std::max(ground, kWaterPlaneY) + kEyeHeight;
    return camera;
}

bool savePng(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
    FIBITMAP* bitmap = FreeImage_ConvertFromRawBits(pixels.data(), width, height, width * 3, 24, 0xff0000, 0x00ff00,
                                                    0x0000ff, false);
    const bool saved = bitmap && FreeImage_Save(FIF_PNG, bitmap, path.c_str());
    if (bitmap) FreeImage_Unload(bitmap);
    return saved;
}

bool shoot(const View& view, int width, int height, const GameState& game) {
    Camera camera = placeCamera(view);
    const CameraVectors vectors = cameraVectors(camera);
    camera.viewMatrix = cameraView(camera, vectors);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderPasses(frameViewOf(camera, vectors, kShotTime));
    drawHud(game, 0.0f);
    glFinish();
    // Where the eye stands, to find a world point in the picture.
    std::printf("%s: eye %.4f %.4f %.4f\n", view.path.c_str(), camera.playerPosition.x, camera.playerPosition.y,
                camera.playerPosition.z);
    return savePng(view.path, width, height);
}

}  // namespace

int main(int argc, char** argv) {
    GameState game;
    if (argc > 1 && std::string(argv[1]) == "--gameover") game = {0, false, true}, ++argv, --argc;
    if (argc < 3 + kArgsPerView || (argc - 3) % kArgsPerView != 0) {
        std::fprintf(stderr, "usage: %s [--gameover] WIDTH HEIGHT OUT.png X Z YAW PITCH [...]\n", argv[0]);
        return 2;
    }
    windowWidth = std::atoi(argv[1]);
    windowHeight = std::atoi(argv[2]);
    std::vector<View> views;
    for (int i = 3; i < argc; i += kArgsPerView)
        views.push_back({argv[i], std::strtof(argv[i + 1], nullptr), std::strtof(argv[i + 2], nullptr),
                         std::strtof(argv[i + 3], nullptr), std::strtof(argv[i + 4], nullptr)});
    RunSettings settings;
    settings.width = windowWidth;
    settings.height = windowHeight;
    GLFWwindow* window = openBenchWindow(settings);
    if (!window) {
        std::fprintf(stderr, "no GL 3.3 context\n");
        glfwTerminate();
        return 1;
    }
    createScene(window);
    bool saved = true;
    for (const View& view : views)
        if (!shoot(view, windowWidth, windowHeight, game)) {
            std::fprintf(stderr, "could not write %s\n", view.path.c_str());
            saved = false;
        }
    destroyScene();
    glfwTerminate();
    return saved ? 0 : 1;
}
