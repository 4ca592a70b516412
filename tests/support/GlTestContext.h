#pragma once
// A hidden 3.3 core window for GL tests, with a debug callback that counts
// GL errors. Each CTest case runs in its own process, so a fixture simply
// opens one context in SetUp and closes it in TearDown.

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Errors reported through the debug callback since the last call.
    int takeGlErrors();
    // Drains glGetError; returns how many were pending.
    int drainGetError();
    // RGBA of one pixel of the bound read framebuffer.
    std::array<unsigned char, 4> readPixel(int x, int y);

    GLFWwindow* window = nullptr;
    int width = 64;
    int height = 64;
};

// Writes text to path, creating parent directories.
void writeTextFile(const std::string& path, const std::string& text);

// A fresh empty directory under /tmp, removed by the destructor.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string path;
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// Result of running a command in a child process.
struct ChildResult {
    std::string out;
    std::string err;
    int status = -1;      // exit status, or -1 if it was killed or timed out
    bool timedOut = false;
};

// Runs argv (argv[0] a path) in workingDir with stdin from /dev/null,
// killing it after timeoutSeconds.
ChildResult runChild(const std::vector<std::string>& argv, const std::string& workingDir,
                     double timeoutSeconds = 20.0);

// Full path of a probe executable built from tests/probes/<name>.cpp.
std::string probePath(const std::string& name);

// Opens the hidden test context from a probe (no GoogleTest there).
GLFWwindow* openProbeContext();
