// Test-only: loaded into the game with LD_PRELOAD, it counts the GL errors
// the driver reports while the game runs, since the game itself checks none.
// It wraps glfwMakeContextCurrent: once a window's context is current it
// turns on synchronous debug output and installs a callback that counts
// messages of type GL_DEBUG_TYPE_ERROR; it also counts glfwSwapBuffers calls,
// one per frame. At exit it writes to the file named by QM_GL_ERROR_LOG the
// lines "errors <count>", "frames <count>" and the first few error messages.
// A missing file therefore means the shim never hooked a context.
#include <GLFW/glfw3.h>
#include <GL/glext.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kLogVariable = "QM_GL_ERROR_LOG";
constexpr size_t kKeptMessages = 5;

using EnableProc = void(GLAPIENTRY*)(GLenum);

// What the callback has seen; the game runs on one thread.
struct ErrorRecord {
    GLFWwindow* hookedWindow = nullptr;  // the last window whose context got the callback
    bool hookedAny = false;
    long errors = 0;
    long frames = 0;
    std::vector<std::string> firstMessages;
};

ErrorRecord record;

void GLAPIENTRY onDebugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message,
                               const void*) {
    if (type != GL_DEBUG_TYPE_ERROR) return;
    ++record.errors;
    if (record.firstMessages.size() < kKeptMessages) record.firstMessages.push_back(message ? message : "");
}

void writeLog() {
    const char* path = std::getenv(kLogVariable);
    if (!path || !record.hookedAny) return;
    FILE* out = std::fopen(path, "w");
    if (!out) return;
    std::fprintf(out, "errors %ld\nframes %ld\n", record.errors, record.frames);
    for (const std::string& message : record.firstMessages) std::fprintf(out, "%s\n", message.c_str());
    std::fclose(out);
}

void hookCurrentContext() {
    auto enable = reinterpret_cast<EnableProc>(glfwGetProcAddress("glEnable"));
    auto setCallback =
        reinterpret_cast<PFNGLDEBUGMESSAGECALLBACKPROC>(glfwGetProcAddress("glDebugMessageCallback"));
    if (!enable || !setCallback) return;
    enable(GL_DEBUG_OUTPUT);
    enable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    setCallback(onDebugMessage, nullptr);
    if (!record.hookedAny) std::atexit(writeLog);
    record.hookedAny = true;
}

using WindowProc = void (*)(GLFWwindow*);

}  // namespace

extern "C" void glfwMakeContextCurrent(GLFWwindow* window) {
    static const auto forward = reinterpret_cast<WindowProc>(dlsym(RTLD_NEXT, "glfwMakeContextCurrent"));
    forward(window);
    if (window && window != record.hookedWindow) {
        record.hookedWindow = window;
        hookCurrentContext();
    }
}

extern "C" void glfwSwapBuffers(GLFWwindow* window) {
    static const auto forward = reinterpret_cast<WindowProc>(dlsym(RTLD_NEXT, "glfwSwapBuffers"));
    forward(window);
    ++record.frames;
}
