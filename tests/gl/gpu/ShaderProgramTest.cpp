#include "gpu/ShaderProgram.h"
#include "support/GlTestContext.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string SHADERS = QM_TEST_SHADER_DIR;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string shaderSource(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_SHADER_SOURCE_LENGTH, &length);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    glGetShaderSource(shader, length, nullptr, text.data());
    return text.data();
}

GLuint compile(GLenum type, const std::string& path) {
    const std::string source = readFile(path);
    const char* text = source.c_str();
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

std::string logOf(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    if (isProgram)
        glGetProgramInfoLog(object, length, nullptr, text.data());
    else
        glGetShaderInfoLog(object, length, nullptr, text.data());
    return text.data();
}

// What this driver says about compiling path, for comparison with the probe.
std::string compileLog(GLenum type, const std::string& path) {
    GLuint shader = compile(type, path);
    std::string log = logOf(shader, false);
    glDeleteShader(shader);
    return log;
}

std::string linkLog(const std::string& vertexPath, const std::string& fragmentPath) {
    GLuint program = glCreateProgram();
    GLuint vertex = compile(GL_VERTEX_SHADER, vertexPath);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentPath);
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindFragDataLocation(program, 0, "fragColor");
    glLinkProgram(program);
    std::string log = logOf(program, true);
    glDeleteProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return log;
}

class ShaderProgramTest : public GlTest {
protected:
    ChildResult build(const std::string& vertexPath, const std::string& fragmentPath) {
        return runChild({probePath("gpu_shader_probe"), vertexPath, fragmentPath}, dir.path);
    }

    void expectFatal(const ChildResult& result, const std::string& out) {
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.status, 255);
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
    }

    TempDir dir;
};

TEST_F(ShaderProgramTest, MissingVertexFileIsReportedBeforeTheFragmentFileIsOpened) {
    expectFatal(build("Shader/missing.vert", "Shader/missing.frag"),
                "failed to open file Shader/missing.vert\n");
    // A broken vertex shader is compiled, and fails, before a missing fragment file is noticed.
    expectFatal(build(SHADERS + "/broken.vert", "missing.frag"),
                "Failed to compile shader\n" + compileLog(GL_VERTEX_SHADER, SHADERS + "/broken.vert") + "\n");
    expectFatal(build(SHADERS + "/fullscreen.vert", "./missing.frag"), "failed to open file ./missing.frag\n");
}

TEST_F(ShaderProgramTest, CompileFailurePrintsOnlyTheFailingShadersLog) {
    const std::string log = compileLog(GL_FRAGMENT_SHADER, SHADERS + "/broken.frag");
    ASSERT_NE(log, "");
    expectFatal(build(SHADERS + "/fullscreen.vert", SHADERS + "/broken.frag"),
                "Failed to compile shader\n" + log + "\n");
}

TEST_F(ShaderProgramTest, LinkFailurePrintsTheLinkLog) {
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {SHADERS + "/varying_mismatch.vert", SHADERS + "/varying_reader.frag"},
        {SHADERS + "/fullscreen.vert", SHADERS + "/no_main.frag"},
    };
    for (const auto& [vertex, fragment] : pairs) {
        SCOPED_TRACE(vertex + " + " + fragment);
        const std::string log = linkLog(vertex, fragment);
        ASSERT_NE(log, "");
        expectFatal(build(vertex, fragment), "Failed to link shader program\n" + log + "\n");
    }
}

TEST_F(ShaderProgramTest, WindowsLineEndsReachTheCompilerAsLineFeeds) {
    const std::string lf = readFile(SHADERS + "/fullscreen.vert");
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    writeTextFile(dir / "crlf.vert", crlf);
    writeTextFile(dir / "crlf.frag", "#version 330 core\r\n#define GREEN \\\r\n vec4(0.0, 1.0, 0.0, 1.0)\r\n"
                                     "out vec4 fragColor;\r\nvoid main() { fragColor = GREEN; }\r\n");

    ShaderProgram program((dir / "crlf.vert").c_str(), (dir / "crlf.frag").c_str());
    EXPECT_EQ(shaderSource(program.vertexShaderHandle), lf);
    EXPECT_EQ(shaderSource(program.fragmentShaderHandle).find('\r'), std::string::npos);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(ShaderProgramTest, FragColorIsWrittenToColourZero) {
    ShaderProgram program((SHADERS + "/fullscreen.vert").c_str(), (SHADERS + "/two_outputs.frag").c_str());
    EXPECT_EQ(glGetFragDataLocation(program.programHandle, "fragColor"), 0);

    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glUseProgram(program.programHandle);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    const auto pixel = readPixel(width / 2, height / 2);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    glDeleteVertexArrays(1, &vao);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(ShaderProgramTest, DestructionDeletesTheProgramAndBothShaders) {
    auto* program = new ShaderProgram((SHADERS + "/fullscreen.vert").c_str(), (SHADERS + "/two_outputs.frag").c_str());
    const GLuint names[] = {program->programHandle, program->vertexShaderHandle, program->fragmentShaderHandle};
    EXPECT_TRUE(glIsProgram(names[0]));
    delete program;
    EXPECT_FALSE(glIsProgram(names[0]));
    EXPECT_FALSE(glIsShader(names[1]));
    EXPECT_FALSE(glIsShader(names[2]));
    EXPECT_EQ(takeGlErrors(), 0);
}

}  // namespace
