// The game's own shader files under data/Shader: they pass the reference
// compiler, link through ShaderProgram, expose every name the game uploads
// with the type it uploads, and draw what the passes rely on.

#include "gpu/ShaderProgram.h"
#include "support/GlTestContext.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string DATA = QM_DATA_DIR;

struct ProgramFiles {
    const char* vertex;
    const char* fragment;
    std::vector<const char*> attributes;
    std::map<std::string, GLenum> uniforms;  // name and the type the game uploads into
};

const std::vector<ProgramFiles>& gamePrograms() {
    static const std::vector<ProgramFiles> programs = {
        {"Shader/basic.vert", "Shader/basic.frag", {"position", "normal", "uvs"},
         {{"M", GL_FLOAT_MAT4}, {"VP", GL_FLOAT_MAT4}, {"V", GL_FLOAT_MAT4}, {"depthBiasMVP", GL_FLOAT_MAT4},
          {"enableDiscard", GL_INT}, {"shadowMap", GL_SAMPLER_2D_SHADOW}, {"colorTexture", GL_SAMPLER_2D},
          {"lightPosition", GL_FLOAT_VEC3}, {"ambientPercentage", GL_FLOAT_VEC3},
          {"specularPercentage", GL_FLOAT_VEC3}}},
        {"Shader/normalMapping.vert", "Shader/normalMapping.frag",
         {"position", "normal", "uvs", "tangents", "bittangents"},
         {{"M", GL_FLOAT_MAT4}, {"VP", GL_FLOAT_MAT4}, {"V", GL_FLOAT_MAT4}, {"enableDiscard", GL_INT},
          {"colorTexture", GL_SAMPLER_2D}, {"normalTexture", GL_SAMPLER_2D}, {"lightPosition", GL_FLOAT_VEC3},
          {"ambientPercentage", GL_FLOAT_VEC3}, {"specularPercentage", GL_FLOAT_VEC3}}},
        {"Shader/transparent.vert", "Shader/transparent.frag", {"position", "normal", "uvs"},
         {{"M", GL_FLOAT_MAT4}, {"VP", GL_FLOAT_MAT4}, {"V", GL_FLOAT_MAT4}, {"depthBiasMVP", GL_FLOAT_MAT4},
          {"reflectionViewMatrix", GL_FLOAT_MAT4}, {"reflectionVP", GL_FLOAT_MAT4}, {"time", GL_FLOAT},
          {"colorTexture", GL_SAMPLER_2D}, {"reflectionTexture", GL_SAMPLER_2D}, {"normalTexture", GL_SAMPLER_2D},
          {"shadowMap", GL_SAMPLER_2D_SHADOW}, {"dudv", GL_SAMPLER_2D}, {"transparencyMode", GL_INT},
          {"lightPosition", GL_FLOAT_VEC3}, {"ambientPercentage", GL_FLOAT_VEC3},
          {"specularPercentage", GL_FLOAT_VEC3}}},
        {"Shader/font.vert", "Shader/font.frag", {"position", "uvs"},
         {{"width", GL_INT}, {"height", GL_INT}, {"colorTexture", GL_SAMPLER_2D}}},
        {"Shader/depth.vert", "Shader/depth.frag", {"position"}, {{"depthMVP", GL_FLOAT_MAT4}, {"M", GL_FLOAT_MAT4}}},
        {"Shader/pass.vert", "Shader/SimpleTexture.frag", {"position"}, {{"colorTexture", GL_SAMPLER_2D}}},
    };
    return programs;
}

using Matrix = std::array<float, 16>;
const Matrix IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// Clip space -1..1 to shadow-map coordinates 0..1, as the passes build depthBiasMVP.
const Matrix BIAS = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1};

Matrix translatedBias(float x, float y, float z) {
    Matrix m = BIAS;
    m[12] += x;
    m[13] += y;
    m[14] += z;
    return m;
}

// Full path of an executable found on PATH, or "" when there is none.
std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = dir + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

// name -> type of every active uniform of program.
std::map<std::string, GLenum> activeUniforms(GLuint program) {
    std::map<std::string, GLenum> uniforms;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[128] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        uniforms[name] = type;
    }
    return uniforms;
}

// Attribute data for a quad of two counter-clockwise triangles.
struct QuadAttribute {
    const char* name;
    int components;
    std::vector<float> values;
};

// A vertex array feeding each named attribute that the program has.
class Quad {
public:
    Quad(GLuint program, const std::vector<QuadAttribute>& attributes) {
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        for (const QuadAttribute& attribute : attributes) {
            GLuint buffer = 0;
            glGenBuffers(1, &buffer);
            buffers.push_back(buffer);
            glBindBuffer(GL_ARRAY_BUFFER, buffer);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(attribute.values.size() * sizeof(float)),
                         attribute.values.data(), GL_STATIC_DRAW);
            const GLint location = glGetAttribLocation(program, attribute.name);
            if (location < 0) continue;
            glEnableVertexAttribArray(static_cast<GLuint>(location));
            glVertexAttribPointer(static_cast<GLuint>(location), attribute.components, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindVertexArray(0);
    }
    ~Quad() {
        glDeleteBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
        glDeleteVertexArrays(1, &vao);
    }
    void draw() const {
        glBindVertexArray(vao);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glBindVertexArray(0);
    }

private:
    GLuint vao = 0;
    std::vector<GLuint> buffers;
};

// The six corners of the rectangle (x0, y0)-(x1, y1) at depth z, counter-clockwise.
std::vector<float> rectangle(float x0, float y0, float x1, float y1, float z) {
    return {x0, y0, z, x1, y0, z, x1, y1, z, x0, y0, z, x1, y1, z, x0, y1, z};
}

std::vector<float> repeated(std::vector<float> one, int times = 6) {
    std::vector<float> all;
    for (int i = 0; i < times; ++i) all.insert(all.end(), one.begin(), one.end());
    return all;
}

const std::vector<float> QUAD_UVS = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};

class ShaderFilesTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_EQ(chdir(DATA.c_str()), 0);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    void TearDown() override {
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        programs.clear();
        GlTest::TearDown();
    }

    GLuint use(const char* vertex, const char* fragment) {
        programs.push_back(std::make_unique<ShaderProgram>(vertex, fragment));
        current = programs.back()->programHandle;
        glUseProgram(current);
        return current;
    }

    GLint at(const char* name) { return glGetUniformLocation(current, name); }
    void setMatrix(const char* name, const Matrix& m) { glUniformMatrix4fv(at(name), 1, GL_FALSE, m.data()); }
    void setVector(const char* name, float x, float y, float z) { glUniform3f(at(name), x, y, z); }

    // An RGB texture of w x h texels on the given unit, nearest filtering.
    void bindColorTexture(int unit, const char* sampler, int w, int h, const std::vector<unsigned char>& rgb) {
        newTexture(unit);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glUniform1i(at(sampler), unit);
    }

    // A depth-comparing shadow map, set up as the render passes set theirs,
    // holding one depth everywhere; on unit 3.
    void bindShadowMap(float depth) {
        newTexture(3);
        const std::vector<float> texels(16 * 16, depth);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, 16, 16, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glUniform1i(at("shadowMap"), 3);
    }

    // basicProgram drawing a white, camera-facing quad over the lower half
    // of the window (world y from -1 to 0), lit head-on.
    void drawBasicQuad(int enableDiscard, float shadowDepth, const Matrix& depthBiasMVP,
                       float ambient, float specular) {
        const GLuint program = use("Shader/basic.vert", "Shader/basic.frag");
        setMatrix("M", IDENTITY);
        setMatrix("VP", IDENTITY);
        setMatrix("V", IDENTITY);
        setMatrix("depthBiasMVP", depthBiasMVP);
        glUniform1i(at("enableDiscard"), enableDiscard);
        setVector("lightPosition", 0, 0, 1);
        setVector("ambientPercentage", ambient, ambient, ambient);
        setVector("specularPercentage", specular, specular, specular);
        bindColorTexture(0, "colorTexture", 1, 1, {255, 255, 255});
        bindShadowMap(shadowDepth);
        glClear(GL_COLOR_BUFFER_BIT);
        Quad(program, {{"position", 3, rectangle(-1, -1, 1, 0, 0.5f)},
                       {"normal", 3, repeated({0, 0, 1})},
                       {"uvs", 2, QUAD_UVS}})
            .draw();
    }

    int rowOf(float clipY) const { return static_cast<int>((clipY + 1.0f) * 0.5f * height); }

    std::vector<std::unique_ptr<ShaderProgram>> programs;
    std::vector<GLuint> textures;
    GLuint current = 0;

private:
    void newTexture(int unit) {
        GLuint texture = 0;
        glGenTextures(1, &texture);
        textures.push_back(texture);
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        glBindTexture(GL_TEXTURE_2D, texture);
    }
};

TEST_F(ShaderFilesTest, ReferenceCompilerAcceptsAndLinksEveryPair) {
    const std::string validator = findOnPath("glslangValidator");
    if (validator.empty()) GTEST_SKIP() << "glslangValidator is not installed (Debian: glslang-tools)";
    for (const ProgramFiles& files : gamePrograms()) {
        SCOPED_TRACE(std::string(files.vertex) + " + " + files.fragment);
        const ChildResult result = runChild({validator, "-l", files.vertex, files.fragment}, DATA);
        EXPECT_EQ(result.status, 0) << result.out << result.err;
    }
}

TEST_F(ShaderFilesTest, EveryProgramLinksWithEachUploadedNameActiveAndOfItsType) {
    for (const ProgramFiles& files : gamePrograms()) {
        SCOPED_TRACE(std::string(files.vertex) + " + " + files.fragment);
        const GLuint program = use(files.vertex, files.fragment);
        for (const char* attribute : files.attributes)
            EXPECT_NE(glGetAttribLocation(program, attribute), -1) << attribute;
        const auto active = activeUniforms(program);
        for (const auto& [name, type] : files.uniforms) {
            const auto found = active.find(name);
            ASSERT_NE(found, active.end()) << name << " is not active";
            EXPECT_EQ(found->second, type) << name;
        }
        EXPECT_EQ(glGetFragDataLocation(program, "fragColor"), 0);
    }
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(ShaderFilesTest, FontPlacesGlyphsInWindowPixelsWithYUp) {
    const GLuint program = use("Shader/font.vert", "Shader/font.frag");
    glUniform1i(at("width"), width);
    glUniform1i(at("height"), height);
    bindColorTexture(0, "colorTexture", 1, 1, {255, 255, 255});
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // One glyph cell from pixel (10, 40) to (16, 46), atlas coordinates below 0 as the hearts use.
    Quad(program, {{"position", 2, {10, 40, 16, 40, 16, 46, 10, 40, 16, 46, 10, 46}},
                   {"uvs", 2, {-0.75f, -0.125f, -0.6875f, -0.125f, -0.6875f, -0.1875f,
                               -0.75f, -0.125f, -0.6875f, -0.1875f, -0.75f, -0.1875f}}})
        .draw();
    glDisable(GL_BLEND);

    EXPECT_EQ(readPixel(12, 42)[0], 255);
    EXPECT_EQ(readPixel(15, 45)[1], 255);
    for (const auto& [x, y] : {std::make_pair(12, 21), std::make_pair(9, 42), std::make_pair(17, 42),
                               std::make_pair(12, 39), std::make_pair(12, 47)}) {
        EXPECT_EQ(readPixel(x, y)[0], 0) << x << "," << y;
    }
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(ShaderFilesTest, ReflectionPassDropsOnlyWhatLiesBelowTheWater) {
    const int below = rowOf(-0.8f);
    const int above = rowOf(-0.4f);

    drawBasicQuad(1, 1.0f, BIAS, 0.3f, 0.3f);
    EXPECT_EQ(readPixel(width / 2, below)[0], 0);
    EXPECT_GT(readPixel(width / 2, above)[0], 100);

    drawBasicQuad(0, 1.0f, BIAS, 0.3f, 0.3f);
    EXPECT_GT(readPixel(width / 2, below)[0], 100);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(ShaderFilesTest, ShadowDarkensInsideTheLightBoxButNotTheSkyBox) {
    // The quad sits at depth 0.75 in the light's map; a map of 0 occludes it.
    const int row = rowOf(-0.5f);
    drawBasicQuad(0, 1.0f, BIAS, 0.3f, 0.0f);
    const int lit = readPixel(width / 2, row)[0];
    drawBasicQuad(0, 0.0f, BIAS, 0.3f, 0.0f);
    const int shadowed = readPixel(width / 2, row)[0];
    EXPECT_LT(shadowed, lit - 60);

    // Moved outside the map, the same occluded quad counts as lit.
    drawBasicQuad(0, 0.0f, translatedBias(5, 5, 0), 0.3f, 0.0f);
    EXPECT_EQ(readPixel(width / 2, row)[0], lit);

    // The sky box's lighting keeps it at its texture colour even in shadow.
    drawBasicQuad(0, 0.0f, BIAS, 0.9f, 0.0f);
    EXPECT_GE(readPixel(width / 2, row)[0], 230);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(ShaderFilesTest, WaterMirrorsAtTheProjectedPointAndBlendsOnlyWhenTransparent) {
    auto drawWater = [&](int transparencyMode) {
        const GLuint program = use("Shader/transparent.vert", "Shader/transparent.frag");
        for (const char* name : {"M", "VP", "V", "depthBiasMVP", "reflectionViewMatrix", "reflectionVP"})
            setMatrix(name, IDENTITY);
        glUniform1f(at("time"), 0.5f);
        glUniform1i(at("transparencyMode"), transparencyMode);
        setVector("lightPosition", 0, 1, 0);
        setVector("ambientPercentage", 0.3f, 0.3f, 0.3f);
        setVector("specularPercentage", 0, 0, 0);
        bindColorTexture(0, "colorTexture", 1, 1, {0, 0, 0});
        // Reflection image: green on the left half of the window, blue on the right.
        bindColorTexture(1, "reflectionTexture", 2, 1, {0, 255, 0, 0, 0, 255});
        bindColorTexture(2, "normalTexture", 1, 1, {128, 128, 255});
        bindColorTexture(4, "dudv", 1, 1, {128, 128, 0});
        bindShadowMap(1.0f);

        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        Quad(program, {{"position", 3, rectangle(-1, -1, 1, 1, 0.5f)},
                       {"normal", 3, repeated({0, 1, 0})},
                       {"uvs", 2, QUAD_UVS}})
            .draw();
        glDisable(GL_BLEND);
    };

    // Looking down onto the water from above, in the lower half of the window.
    const int row = height / 4;
    drawWater(0);
    const auto left = readPixel(width / 4, row);
    const auto right = readPixel(3 * width / 4, row);
    EXPECT_GT(left[1], right[1] + 40);
    EXPECT_GT(right[2], left[2] + 40);

    drawWater(1);
    const auto blended = readPixel(width / 4, row);
    EXPECT_GT(blended[0], left[0] + 50);  // the red ground shows through
    EXPECT_LT(blended[0], 200);
    EXPECT_EQ(takeGlErrors(), 0);
}

}  // namespace
