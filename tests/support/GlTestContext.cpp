#include "support/GlTestContext.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

int g_debugErrors = 0;

void GLAPIENTRY onDebugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void*) {
    if (type != GL_DEBUG_TYPE_ERROR) return;
    ++g_debugErrors;
    std::fprintf(stderr, "GL error: %s\n", message);
}

GLFWwindow* openContext(int width, int height, bool debug) {
    if (!glfwInit()) return nullptr;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, debug ? GLFW_TRUE : GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "gl-test", nullptr, nullptr);
    if (!window) return nullptr;
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return nullptr;
    while (glGetError() != GL_NO_ERROR) continue;
    return window;
}

}  // namespace

void GlTest::SetUp() {
    window = openContext(width, height, true);
    ASSERT_NE(window, nullptr) << "no GL 3.3 core context (is DISPLAY set?)";
    if (glDebugMessageCallback) {
        glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
        glDebugMessageCallback(onDebugMessage, nullptr);
    }
    g_debugErrors = 0;
}

void GlTest::TearDown() {
    if (window) glfwDestroyWindow(window);
    glfwTerminate();
}

int GlTest::takeGlErrors() {
    int n = g_debugErrors;
    g_debugErrors = 0;
    return n;
}

int GlTest::drainGetError() {
    int n = 0;
    while (glGetError() != GL_NO_ERROR) ++n;
    return n;
}

std::array<unsigned char, 4> GlTest::readPixel(int x, int y) {
    std::array<unsigned char, 4> rgba{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

GLFWwindow* openProbeContext() { return openContext(64, 64, false); }

void writeTextFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TempDir::TempDir() {
    char pattern[] = "/tmp/quellmoor-test-XXXXXX";
    path = mkdtemp(pattern);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string probePath(const std::string& name) { return std::string(QM_PROBE_DIR) + "/" + name; }

ChildResult runChild(const std::vector<std::string>& argv, const std::string& workingDir,
                     double timeoutSeconds) {
    ChildResult result;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;

    pid_t pid = fork();
    if (pid == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        if (chdir(workingDir.c_str()) != 0) _exit(127);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, static_cast<int>(left)) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
                continue;
            }
            close(fds[i].fd);
            fds[i].fd = -1;
            --open;
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    for (auto& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    if (!result.timedOut && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    return result;
}
