#pragma once
// A GL test with the game's world built from the real data directory, in a
// window of the given size. The working directory is the data directory for
// the test's lifetime, since the world loads "Shader/...", "Models/...".

#include "support/GlTestContext.h"

#include <functional>
#include <set>

class WorldTest : public GlTest {
protected:
    WorldTest(int w = 160, int h = 120) {
        width = w;
        height = h;
    }
    void SetUp() override;
    void TearDown() override;

    // Every GL name the world holds, by kind, to check their release.
    struct Names {
        std::set<GLuint> programs, shaders, buffers, vertexArrays, textures;
    };
    static Names worldNames();

    bool built = false;
};

// A uniform's float values read back from a program.
std::vector<float> uniformFloats(GLuint program, const char* name, int count);
GLint uniformInt(GLuint program, const char* name);
