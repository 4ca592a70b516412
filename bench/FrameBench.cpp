// Frame cost of the game's passes from the start view: builds the world from
// data/ in a hidden window and times frames with glFinish after each one.
// Usage (from data/, under X): frame_bench [width height frames]
#include "app/Camera.h"
#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"
#include "geometry/Terrain.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

FrameView viewFrom(const Camera& camera) {
    const CameraVectors vectors = cameraVectors(camera);
    FrameView view;
    view.frameTime = glfwGetTime();
    view.playerPosition = camera.playerPosition;
    view.vectors = vectors;
    view.viewMatrix = cameraView(camera, vectors);
    view.cameraVP = multiply(world.projection, view.viewMatrix);
    return view;
}

}  // namespace

int main(int argc, char** argv) {
    windowWidth = argc > 2 ? std::atoi(argv[1]) : 800;
    windowHeight = argc > 2 ? std::atoi(argv[2]) : 600;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 30;
    if (!glfwInit()) return 1;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(windowWidth, windowHeight, "frame-bench", nullptr, nullptr);
    if (!window) return 1;
    glfwMakeContextCurrent(window);
    if (glewInit() != GLEW_OK) return 1;

    initWorld(window);
    createFrameDigitTexts();
    glClearColor(0.0f, 0.8f, 1.0f, 0.5f);
    createRenderTargets();

    Camera camera;
    GameState game;
    JumpState jump;
    ruleStep(camera, game, jump, cameraVectors(camera), 0.0f, [](int) { return false; },
             [](const Vector3& p) { return world.terrain->groundHeightAt(p); });

    renderPasses(viewFrom(camera));  // warm-up: shader compilation on first use
    glFinish();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        camera.horizontalAngle += 0.05f;  // look around, so every direction is paid for
        renderPasses(viewFrom(camera));
        drawHud(game, 60.0f);
        updateWorld(0.016);
        glFinish();
    }
    const double seconds = secondsSince(start);
    std::printf("%d x %d: %.1f ms per frame (%.1f frames per second) over %d frames\n", windowWidth,
                windowHeight, 1000.0 * seconds / frames, frames / seconds, frames);

    destroyWorld();
    destroyRenderTargets();
    glfwTerminate();
    return 0;
}
