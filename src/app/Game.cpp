#include "app/Game.h"

#include "app/Camera.h"
#include "app/Config.h"
#include "app/GameRules.h"
#include "app/Hud.h"
#include "app/RenderPasses.h"
#include "geometry/ModelImport.h"
#include "geometry/Terrain.h"
#include "gpu/FatalError.h"
#include "platform/GL.h"
#include "platform/Platform.h"
#include "world/KeyToggles.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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
    Camera camera;          // the player's eye
    FrameClock clock;       // time step and frame rate
    GameState game;         // lives and the round's end states
    JumpState jump;         // the jump in progress
    Desktop desktop;        // size, focus and minimising, as the desktop reported them
    int cursorAreaWidth = 0;   // the window in cursor coordinates, whose centre the mouse look
    int cursorAreaHeight = 0;  // puts the cursor back to (the framebuffer's size on most systems)
    int centredWidth = 0;      // the cursor area when the cursor was last put at its centre,
    int centredHeight = 0;     // from which the next offset counts
    bool resuming = false;  // the next frame follows a pause, whose time it skips
    bool running = true;    // no frame has ended the game yet
    bool firstFrame = true; // the next frame is the first
};

Session session;

// A missing data folder is named on a line of its own, since the window
// only failed for want of the size it holds.
[[noreturn]] void failToOpenWindow(const DataFolder& data) {
    glfwTerminate();
    if (!data.found) fatalError({"Failed to open window", data.whereLooked});
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
#ifdef __APPLE__
    // macOS makes core contexts only forward-compatible.
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
#endif
    // A framebuffer without alpha: a compositor that blends windows by it
    // would otherwise show the desktop through the sky and the water.
    glfwWindowHint(GLFW_ALPHA_BITS, 0);

    const DataFolder data = platform::enterDataFolder(kConfigPath);
    Config config;
    config.load(data.configPath.c_str());
    windowWidth = config.integer("WIDTH");
    windowHeight = config.integer("HEIGHT");
    const int fullscreen = config.integer("FULLSCREEN");

    GLFWmonitor* monitor = fullscreen == 1 ? glfwGetPrimaryMonitor() : nullptr;
    GLFWwindow* window = nullptr;
    if (inRange(windowWidth) && inRange(windowHeight))
        window = glfwCreateWindow(windowWidth, windowHeight, windowTitle, monitor, nullptr);
    if (!window) failToOpenWindow(data);
    glfwMakeContextCurrent(window);
    if (!platform::loadGL()) fatalError({"Failed to initialize glew"});
    // The size the window really got: a full-screen mode the monitor cannot
    // show, or a window manager, may give another than the one asked for.
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width > 0 && height > 0) windowWidth = width, windowHeight = height;
    if (!driverRendersAt(windowWidth, windowHeight)) failToOpenWindow(data);
    return window;
}

// Puts the cursor back at the centre of the window.
void centreCursor() {
    session.centredWidth = session.cursorAreaWidth;
    session.centredHeight = session.cursorAreaHeight;
    platform::putCursor(session.window, session.centredWidth / 2, session.centredHeight / 2);
}

// While the window has the focus the cursor is held to it, hidden, and put
// back wherever the game puts it; without the focus it is a normal cursor.
void disableCursorWhileFocused() { platform::holdCursor(session.window, session.desktop.focused); }

// Follows what the desktop did to the window since the last frame. Returns
// whether the mouse may turn the view this frame: not while another window
// has the focus, nor in a frame in which the focus came back or the pointer
// came over the window, which only centres the cursor.
bool followDesktop() {
    Desktop& desktop = session.desktop;
    if (desktop.resized) {
        desktop.resized = false;
        glfwGetWindowSize(session.window, &session.cursorAreaWidth, &session.cursorAreaHeight);
        if (desktop.framebufferWidth != windowWidth || desktop.framebufferHeight != windowHeight)
            resizeScene(desktop.framebufferWidth, desktop.framebufferHeight);
    }
    if (!desktop.focusChanged && !desktop.pointerEntered) return desktop.focused;
    if (desktop.focusChanged) disableCursorWhileFocused();
    desktop.focusChanged = desktop.pointerEntered = false;
    if (desktop.focused) centreCursor();
    return false;
}

void startUp() {
    session.window = openWindow();
    glfwSetKeyCallback(session.window, keyCallback);
    Desktop& desktop = session.desktop;
    desktop.framebufferWidth = windowWidth;
    desktop.framebufferHeight = windowHeight;
    platform::watchWindow(session.window, desktop);
    glfwGetWindowSize(session.window, &session.cursorAreaWidth, &session.cursorAreaHeight);
    disableCursorWhileFocused();
    createScene(session.window);
    session.clock.fpsTimer = glfwGetTime();
    // The first frame turns the view by the cursor's offset from the centre;
    // from here that offset is the player's own, not where the cursor was.
    centreCursor();
}

bool keyHeld(int key) { return glfwGetKey(session.window, key) == GLFW_PRESS; }

float groundUnderPlayer(const Vector3& point) { return world.terrain->groundHeightAt(point); }

void setTitle(float framesPerSecond) {
    char title[64];
    std::snprintf(title, sizeof title, kTitleFormat, framesPerSecond);
    glfwSetWindowTitle(session.window, title);
}

// One frame; false once Escape was pressed since the last one. A frame that
// finds the window paused ends after its event poll, drawing nothing.
bool runFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double frameTime = glfwGetTime();
    if (session.resuming) session.clock.resume(frameTime), session.resuming = false;
    const float dt = session.clock.step(frameTime);
    session.clock.countFrame(glfwGetTime());
    setTitle(session.clock.framesPerSecond);

    platform::pollEvents();
    const bool escapeHeld = glfwGetKey(session.window, GLFW_KEY_ESCAPE) != GLFW_RELEASE && platform::escapeEndsGame();
    if (session.desktop.paused()) {
        session.resuming = true;
        return !escapeHeld;
    }

    Camera& camera = session.camera;
    if (followDesktop()) {
        double cx = 0.0, cy = 0.0;
        platform::readCursor(session.window, &cx, &cy);
        const int width = session.centredWidth, height = session.centredHeight;  // where the cursor was put, even if resized since
        centreCursor();
        applyMouseLook(camera, cx, cy, width, height);
    }
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

void resizeScene(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    resizeWorld();
    placeFrameDigitTexts();
    resizeRenderTargets();
    glViewport(0, 0, width, height);
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

// One turn of the frame loop; false once the game is over: Escape ended a
// frame, or the window was asked to close.
bool loopStep() {
    if (!session.running || glfwWindowShouldClose(session.window)) return false;
    if (session.desktop.paused()) {
        platform::waitEvents();  // a minimised window: no frames, no busy core
        return true;
    }
    session.running = runFrame();
    // The first frame, where the driver builds its shader code, still
    // draws on the heap kept for the imports; then that heap goes back.
    if (session.firstFrame) releaseImportHeap(), session.firstFrame = false;
    return true;
}

int runGame() {
    startUp();
    platform::runFrameLoop(loopStep);
    shutDown();
    return 0;
}
