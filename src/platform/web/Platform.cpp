// The browser backend: emscripten's GLFW in a page, WebGL 2, and the page's
// own events for what a browser tab does (the pointer lock, a hidden tab,
// the page's size). The page (index.html) asks for the pointer lock on the
// player's click; Escape, the browser's own key, gives it back.
#include "platform/Platform.h"

#include <GLFW/glfw3.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <unistd.h>

namespace {

constexpr const char* kCanvas = "#canvas";
constexpr const char* kPageDataFolder = "/";
// What the page's OpenGL ES 3.0 compiler needs before a 3.3 core shader's
// body: its own version line and the precisions it has no default for.
constexpr const char* kShaderPreamble =
    "#version 300 es\n"
    "precision highp float;\n"
    "precision highp int;\n"
    "precision highp sampler2D;\n"
    "precision highp sampler2DShadow;\n";

// What the page told us since the frame loop last looked, and the cursor
// the mouse look reads: the pointer's motion while locked, from where the
// game last put it.
struct Page {
    Desktop* desktop = nullptr;
    bool (*step)() = nullptr;
    bool locked = false;       // the pointer is locked to the canvas
    bool lockedOnce = false;   // ... or was, so that losing it pauses
    bool lockChanged = false;  // not yet followed by the Desktop
    bool hidden = false;       // the tab is not shown
    bool pageSeesPaused = false;  // what the page was last told
    double putX = 0.0, putY = 0.0;        // where the game last put the cursor
    double motionX = 0.0, motionY = 0.0;  // the pointer's motion since then
};

Page page;

EM_BOOL onPointerLock(int, const EmscriptenPointerlockChangeEvent* event, void*) {
    page.locked = event->isActive != 0;
    page.lockedOnce |= page.locked;
    page.lockChanged = true;
    page.motionX = page.motionY = 0.0;
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    page.hidden = event->hidden != 0;
    return EM_FALSE;
}

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    if (page.locked) page.motionX += event->movementX, page.motionY += event->movementY;
    return EM_FALSE;
}

// The canvas's backing store follows its size on the page in device pixels,
// so the picture stays sharp at any zoom and on any screen.
void followPageSize(Desktop& desktop) {
    double cssWidth = 0.0, cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    const int width = static_cast<int>(std::lround(cssWidth * ratio));
    const int height = static_cast<int>(std::lround(cssHeight * ratio));
    if (width == desktop.framebufferWidth && height == desktop.framebufferHeight) return;
    if (width > 0 && height > 0) emscripten_set_canvas_element_size(kCanvas, width, height);
    desktop.framebufferWidth = width;
    desktop.framebufferHeight = height;
    desktop.resized = true;
}

// Hands what the page did to the Desktop: the pointer lock is the focus, a
// hidden tab or a lock given back (Escape) pauses like a minimised window.
void followPage() {
    Desktop& desktop = *page.desktop;
    if (page.lockChanged) {
        page.lockChanged = false;
        desktop.focused = page.locked;
        desktop.focusChanged = true;
    }
    desktop.iconified = page.hidden || (page.lockedOnce && !page.locked);
    followPageSize(desktop);
    if (desktop.paused() == page.pageSeesPaused) return;
    page.pageSeesPaused = desktop.paused();
    EM_ASM({ if (window.quellmoor) quellmoor.paused = $0 != 0; }, page.pageSeesPaused);
}

void animationFrame() {
    if (!page.step()) {
        emscripten_cancel_main_loop();
        return;
    }
    if (!page.desktop->paused()) EM_ASM({ if (window.quellmoor) quellmoor.frameDrawn(); });
}

}  // namespace

namespace platform {

// The page's file system holds the data at its root, packed with the game.
DataFolder enterDataFolder(const char* configName) {
    DataFolder data = findDataFolder({kPageDataFolder, {}, "", ""}, configName);
    if (data.found) chdir(kPageDataFolder);
    return data;
}

bool loadGL() { return true; }

void watchWindow(GLFWwindow*, Desktop& desktop) {
    page.desktop = &desktop;
    emscripten_set_pointerlockchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, onPointerLock);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibility);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, onMouseMove);
    EmscriptenPointerlockChangeEvent lock{};
    page.locked = emscripten_get_pointerlock_status(&lock) == EMSCRIPTEN_RESULT_SUCCESS && lock.isActive;
    page.lockedOnce = page.locked;
    EmscriptenVisibilityChangeEvent visibility{};
    page.hidden = emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS && visibility.hidden;
    desktop.focused = page.locked;
}

void pollEvents() {
    glfwPollEvents();
    followPage();
}

// The browser's next animation frame is the wait.
void waitEvents() { followPage(); }

// The page takes the pointer on the player's click; a program may not.
void holdCursor(GLFWwindow*, bool) {}

void putCursor(GLFWwindow*, double x, double y) {
    page.putX = x, page.putY = y;
    page.motionX = page.motionY = 0.0;
}

void readCursor(GLFWwindow*, double* x, double* y) {
    *x = page.putX + page.motionX;
    *y = page.putY + page.motionY;
}

bool escapeEndsGame() { return false; }

// Paced by the browser's requestAnimationFrame; never returns.
void runFrameLoop(bool (*step)()) {
    page.step = step;
    emscripten_set_main_loop(animationFrame, 0, 1);
}

std::string adaptShaderSource(std::string source) {
    if (source.compare(0, 8, "#version") != 0) return source;
    const size_t lineEnd = source.find('\n');
    return kShaderPreamble + (lineEnd == std::string::npos ? std::string() : source.substr(lineEnd + 1));
}

void showFatalMessage(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    emscripten_cancel_main_loop();
    EM_ASM({ if (window.quellmoor) quellmoor.showFatal(UTF8ToString($0)); }, text.c_str());
}

}  // namespace platform
