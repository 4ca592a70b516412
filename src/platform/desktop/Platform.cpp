// The desktop backend: GLFW's window and input, GLEW's loader, a console.
#include "platform/Platform.h"

#include "platform/GL.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// The record GLFW's callbacks write; set once by watchWindow.
Desktop* watched = nullptr;

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

// Every entry point above OpenGL 1.1 that the game calls is there. Those of
// OpenGL 1.1 itself come straight from the GL library.
template <typename... EntryPoint>
bool allLoaded(EntryPoint... entryPoints) {
    return ((entryPoints != nullptr) && ...);
}

bool entryPointsLoaded() {
    return allLoaded(glActiveTexture, glAttachShader, glBindBuffer, glBindFragDataLocation, glBindFramebuffer, glBindRenderbuffer,
                     glBindVertexArray, glBufferData, glCompileShader, glCreateProgram, glCreateShader, glDeleteBuffers,
                     glDeleteFramebuffers, glDeleteProgram, glDeleteRenderbuffers, glDeleteShader, glDeleteVertexArrays, glDrawBuffers,
                     glEnableVertexAttribArray, glFramebufferRenderbuffer, glFramebufferTexture, glGenBuffers, glGenFramebuffers,
                     glGenRenderbuffers, glGenVertexArrays, glGenerateMipmap, glGetAttribLocation, glGetProgramInfoLog, glGetProgramiv,
                     glGetShaderInfoLog, glGetShaderiv, glGetUniformLocation, glIsShader, glLinkProgram, glRenderbufferStorage,
                     glShaderSource, glUniform1f, glUniform1i, glUniform3f, glUniformMatrix4fv, glUseProgram, glVertexAttribPointer);
}

// GLEW built for GLX (as Linux distributions ship it) loads every GL entry
// point and then looks for a GLX display, which a Wayland window's EGL
// context has not: that one result still leaves GL loaded.
bool glewLoaded(GLenum result) { return result == GLEW_OK || result == GLEW_ERROR_NO_GLX_DISPLAY; }

void onFramebufferSize(GLFWwindow*, int width, int height) {
    watched->framebufferWidth = width;
    watched->framebufferHeight = height;
    watched->resized = true;
}

void onFocus(GLFWwindow*, int focused) {
    watched->focused = focused == GLFW_TRUE;
    watched->focusChanged = true;
}

void onIconify(GLFWwindow*, int iconified) { watched->iconified = iconified == GLFW_TRUE; }

// Some window systems report the pointer's place on entering as a move of
// the disabled cursor: from its last place, or from the window's corner.
void onCursorEnter(GLFWwindow*, int entered) { watched->pointerEntered |= entered == GLFW_TRUE; }

bool inputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

}  // namespace

namespace platform {

bool loadGL() {
    // A core profile lists its extensions only one by one, so GLEW loads every entry point it finds.
    glewExperimental = GL_TRUE;
    if (!glewLoaded(glewInit())) return false;
    refetchEntryPoints();
    return entryPointsLoaded();
}

void watchWindow(GLFWwindow* window, Desktop& desktop) {
    watched = &desktop;
    // A key pressed and released between two polls still reads as pressed
    // once, so a quick tap at a low frame rate is not lost.
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    glfwSetFramebufferSizeCallback(window, onFramebufferSize);
    glfwSetWindowFocusCallback(window, onFocus);
    glfwSetWindowIconifyCallback(window, onIconify);
    glfwSetCursorEnterCallback(window, onCursorEnter);
    // On a Wayland desktop the disabled cursor moves by the mouse's raw
    // motion: XWayland otherwise reports the pointer's place, when the
    // compositor first shows it over the window, as a move of the cursor
    // some frames after it entered, and the first view would turn there.
    // Plain X11 keeps the cursor's own moves, which absolute devices (a
    // tablet, a virtual machine's pointer) need.
    if (std::getenv("WAYLAND_DISPLAY") && glfwRawMouseMotionSupported())
        glfwSetInputMode(window, GLFW_RAW_MOUSE_MOTION, GLFW_TRUE);
    desktop.focused = glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
}

void pollEvents() { glfwPollEvents(); }
void waitEvents() { glfwWaitEvents(); }

// The disabled mode is the one that can be put back on every window system:
// X11, XWayland, Wayland (which moves no visible pointer for a program),
// Windows and macOS.
void holdCursor(GLFWwindow* window, bool held) {
    glfwSetInputMode(window, GLFW_CURSOR, held ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
}

void putCursor(GLFWwindow* window, double x, double y) { glfwSetCursorPos(window, x, y); }
void readCursor(GLFWwindow* window, double* x, double* y) { glfwGetCursorPos(window, x, y); }

bool escapeEndsGame() { return true; }

void runFrameLoop(bool (*step)()) {
    while (step()) {
    }
}

std::string adaptShaderSource(std::string source) { return source; }

// A console window would close at once, so wait for a key, but only when
// someone can press one: a launcher, a script or a test must never hang.
void showFatalMessage(std::initializer_list<std::string>) {
    if (inputIsTerminal()) std::getchar();
}

}  // namespace platform
