#include "app/Game.h"

#include "app/Camera.h"
#include "app/Config.h"
#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"
#include "geometry/ModelImport.h"
#include "geometry/Terrain.h"
#include "gpu/FatalError.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kConfigPath = "config.txt";
constexpr const char* kTitleFormat = "Quellmoor | (%.1f FPS)";
// Largest window side asked of GLFW. The render targets are window-sized
// textures, and common drivers stop at this side; GLFW asserts on negative
// sizes and drivers crash on sizes near the int range.
constexpr int kMaxWindowSide = 16384;

// Everything the frame loop keeps from one frame to the next.
struct Session {
    GLFWwindow* window = nullptr;
    Camera camera;      // the player's eye
    FrameClock clock;   // time step and frame rate
    GameState game;     // lives and the round's end states
    JumpState jump;     // the jump in progress
};

Session session;

// Loaders some drivers expose only through the window system; fetched again
// so that the context's own entry points are the ones called.
void refetchEntryPoints() {
    glGenVertexArrays = reinterpret_cast<PFNGLGENVERTEXARRAYSPROC>(glfwGetProcAddress("glGenVertexArrays"));
    glBindVertexArray = reinterpret_cast<PFNGLBINDVERTEXARRAYPROC>(glfwGetProcAddress("glBindVertexArray"));
    glDeleteVertexArrays =
        reinterpret_cast<PFNGLDELETEVERTEXARRAYSPROC>(glfwGetProcAddress("glDeleteVertexArrays"));
    glGenerateMipmap = reinterpret_cast<PFNGLGENERATEMIPMAPPROC>(glfwGetProcAddress("glGenerateMipmap"));
    glGenFramebuffers = reinterpret_cast<PFNGLGENFRAMEBUFFERSPROC>(glfwGetProcAddress("glGenFramebuffers"));
    glBindFramebuffer = reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(glfwGetProcAddress("glBindFramebuffer"));
    glGenRenderbuffers = reinterpret_cast<PFNGLGENRENDERBUFFERSPROC>(glfwGetProcAddress("glGenRenderbuffers"));
    glBindRenderbuffer = reinterpret_cast<PFNGLBINDRENDERBUFFERPROC>(glfwGetProcAddress("glBindRenderbuffer"));
    glRenderbufferStorage =
        reinterpret_cast<PFNGLRENDERBUFFERSTORAGEPROC>(glfwGetProcAddress("glRenderbufferStorage"));
    glFramebufferRenderbuffer =
        reinterpret_cast<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(glfwGetProcAddress("glFramebufferRenderbuffer"));
}

[[noreturn]] void failToOpenWindow() {
    glfwTerminate();
    fatalError({"Failed to open window"});
}

// Zero goes to GLFW, which refuses it like any size it cannot open.
bool inRange(int side) { return side >= 0 && side <= kMaxWindowSide; }

// Can the driver make textures, renderbuffers and viewports of this size?
bool driverRendersAt(int width, int height) {
    GLint textureSide = 0, renderbufferSide = 0, viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &textureSide);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferSide);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const GLint side = std::min(textureSide, renderbufferSide);
    return width <= std::min(side, viewport[0]) && height <= std::min(side, viewport[1]);
}

GLFWwindow* openWindow() {
    if (!glfwInit()) fatalError({"Failed to init glfw"});
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_REFRESH_RATE, 60);

    Config config;
    config.load(kConfigPath);
    windowWidth = config.integer("WIDTH");
    windowHeight = config.integer("HEIGHT");
    const int fullscreen = config.integer("FULLSCREEN");

    GLFWmonitor* monitor = fullscreen == 1 ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = nullptr;
    if (inRange(windowWidth) && inRange(windowHeight))
        window = glfwCreateWindow(windowWidth, windowHeight, windowTitle, monitor, nullptr);
    if (!window) failToOpenWindow();
    glfwMakeContextCurrent(window);
    if (glewInit() != GLEW_OK) fatalError({"Failed to initialize glew"});
    refetchEntryPoints();
    if (!driverRendersAt(windowWidth, windowHeight)) failToOpenWindow();
    return window;
}

void startUp() {
    session.window = openWindow();
    glfwSetKeyCallback(session.window, keyCallback);
    // A key pressed and released between two polls still reads as pressed
    // once, so a quick tap at a low frame rate is not lost.
    glfwSetInputMode(session.window, GLFW_STICKY_KEYS, GLFW_TRUE);
    createScene(session.window);
    session.clock.fpsTimer = glfwGetTime();
    // The first frame turns the view by the cursor's offset from the centre;
    // from here that offset is the player's own, not where the cursor was.
    glfwSetCursorPos(session.window, windowWidth / 2, windowHeight / 2);
}

bool keyHeld(int key) { return glfwGetKey(session.window, key) == GLFW_PRESS; }

float groundUnderPlayer(const Vector3& point) { return world.terrain->groundHeightAt(point); }

void setTitle(float framesPerSecond) {
    char title[64];
    std::snprintf(title, sizeof title, kTitleFormat, framesPerSecond);
    glfwSetWindowTitle(session.window, title);
}

// One frame; false once Escape was pressed since the last one.
bool runFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double frameTime = glfwGetTime();
    const float dt = session.clock.step(frameTime);
    session.clock.countFrame(glfwGetTime());
    setTitle(session.clock.framesPerSecond);

    glfwPollEvents();
    const bool escapeHeld = glfwGetKey(session.window, GLFW_KEY_ESCAPE) != GLFW_RELEASE;

    double cx = 0.0, cy = 0.0;
    glfwGetCursorPos(session.window, &cx, &cy);
    glfwSetCursorPos(session.window, windowWidth / 2, windowHeight / 2);
    Camera& camera = session.camera;
    applyMouseLook(camera, cx, cy, windowWidth, windowHeight);
    const CameraVectors vectors = cameraVectors(camera);

    ruleStep(camera, session.game, session.jump, vectors, dt, keyHeld, groundUnderPlayer);
    camera.viewMatrix = cameraView(camera, vectors);
    winningLineStep(camera, session.game);

    renderPasses(frameViewOf(camera, vectors, frameTime));
    drawHud(session.game, session.clock.framesPerSecond);

    updateWorld(static_cast<double>(dt));
    glfwSwapBuffers(session.window);
    return !escapeHeld;
}

void shutDown() {
    destroyScene();
    glfwTerminate();
}

}  // namespace

void createScene(GLFWwindow* window) {
    initWorld(window);
    createFrameDigitTexts();
    glClearColor(0.0f, 0.8f, 1.0f, 0.5f);
    glViewport(0, 0, windowWidth, windowHeight);
    createRenderTargets();
}

void destroyScene() {
    destroyWorld();
    destroyRenderTargets();
}

FrameView frameViewOf(const Camera& camera, const CameraVectors& vectors, double frameTime) {
    FrameView view;
    view.frameTime = frameTime;
    view.playerPosition = camera.playerPosition;
    view.vectors = vectors;
    view.viewMatrix = camera.viewMatrix;
    view.cameraVP = multiply(world.projection, camera.viewMatrix);
    return view;
}

int runGame() {
    startUp();
    // The first frame, where the driver builds its shader code, still draws
    // on the heap kept for the imports; then that heap goes back.
    bool running = runFrame();
    releaseImportHeap();
    while (running && !glfwWindowShouldClose(session.window)) running = runFrame();
    shutDown();
    return 0;
}
