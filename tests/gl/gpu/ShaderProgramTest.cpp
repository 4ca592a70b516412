// Shader programs from the test shaders; fatal paths run in the probe.
#include "gpu/ShaderProgram.h"
#include "support/GlTestContext.h"

#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

const std::string SHADERS = QM_TEST_SHADER_DIR;

// What this driver logs for the fragment shader and for the link of the pair.
std::pair<std::string, std::string> driverLogs(const std::string& vertexPath, const std::string& fragmentPath) {
    char fragmentLog[4096] = {}, linkLog[4096] = {};
    const GLuint program = glCreateProgram();
    for (const auto& [type, path] : {std::pair{GL_VERTEX_SHADER, vertexPath}, {GL_FRAGMENT_SHADER, fragmentPath}}) {
        std::ifstream in(path, std::ios::binary);
        const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const char* start = source.c_str();
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &start, nullptr);
        glCompileShader(shader);
        if (type == GL_FRAGMENT_SHADER) glGetShaderInfoLog(shader, sizeof fragmentLog, nullptr, fragmentLog);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glBindFragDataLocation(program, 0, "fragColor");
    glLinkProgram(program);
    glGetProgramInfoLog(program, sizeof linkLog, nullptr, linkLog);
    glDeleteProgram(program);
    return {fragmentLog, linkLog};
}

class ShaderProgramTest : public GlTest {
protected:
    void TearDown() override {
        EXPECT_EQ(takeGlErrors(), 0);
        GlTest::TearDown();
    }
    TempDir dir;
};

}  // namespace

TEST_F(ShaderProgramTest, EachFailureIsFatalWithItsOwnMessage) {
    const std::string vert = SHADERS + "/fullscreen.vert", broken = SHADERS + "/broken.frag";
    // A varying written as vec2 and read as vec3: both compile, the link fails.
    const std::string mismatch = SHADERS + "/varying_mismatch.vert", reader = SHADERS + "/varying_reader.frag";
    const std::string compileLog = driverLogs(vert, broken).first, linkLog = driverLogs(mismatch, reader).second;
    ASSERT_TRUE(!compileLog.empty() && !linkLog.empty());
    takeGlErrors();  // the driver's reports of the broken shaders just built
    for (const auto& [vertex, fragment, out] : {
             std::tuple<std::string, std::string, std::string>{"Shader/missing.vert", "Shader/missing.frag",
                                                               "failed to open file Shader/missing.vert\n"},
             {vert, "./missing.frag", "failed to open file ./missing.frag\n"},
             {vert, broken, "Failed to compile shader\n" + compileLog + "\n"},
             {mismatch, reader, "Failed to link shader program\n" + linkLog + "\n"}}) {
        const ChildResult result = runChild({probePath("gpu_shader_probe"), vertex, fragment}, dir.path);
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(ShaderProgramTest, WindowsLineEndsReachTheCompilerAsLineFeeds) {
    writeTextFile(dir / "crlf.frag", "#version 330 core\r\n#define GREEN \\\r\n vec4(0.0, 1.0, 0.0, 1.0)\r\n"
                                     "out vec4 fragColor;\r\nvoid main() { fragColor = GREEN; }\r\n");
    ShaderProgram program((SHADERS + "/fullscreen.vert").c_str(), (dir / "crlf.frag").c_str());
    char source[512] = {};
    glGetShaderSource(program.fragmentShaderHandle, sizeof source, nullptr, source);
    EXPECT_EQ(std::string(source).find('\r'), std::string::npos) << source;
}

// two_outputs.frag declares a decoy output first, so only the binding puts fragColor in colour 0.
TEST_F(ShaderProgramTest, FragColorLandsInColourZeroAndDestructionDeletesAllThree) {
    auto program = std::make_unique<ShaderProgram>((SHADERS + "/fullscreen.vert").c_str(), (SHADERS + "/two_outputs.frag").c_str());
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glUseProgram(program->programHandle);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    EXPECT_EQ(readPixel(width / 2, height / 2), (std::array<unsigned char, 4>{0, 255, 0, 255}));
    glDeleteVertexArrays(1, &vao);
    glUseProgram(0);
    const GLuint names[] = {program->programHandle, program->vertexShaderHandle, program->fragmentShaderHandle};
    program.reset();
    EXPECT_FALSE(glIsProgram(names[0]) || glIsShader(names[1]) || glIsShader(names[2]));
}
