#include "gpu/ShaderProgram.h"
#include "gpu/Text.h"
#include "gpu/TextGeometry.h"
#include "support/GlTestContext.h"

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string SHADERS = QM_TEST_SHADER_DIR;

class TextTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        font = std::make_unique<ShaderProgram>((SHADERS + "/text.vert").c_str(),
                                               (SHADERS + "/text_solid.frag").c_str());
        glUseProgram(font->programHandle);
        glUniform1i(glGetUniformLocation(font->programHandle, "width"), width);
        glUniform1i(glGetUniformLocation(font->programHandle, "height"), height);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    void TearDown() override {
        font.reset();
        GlTest::TearDown();
    }

    std::vector<Vector2> bufferContents(GLuint buffer, size_t count) {
        std::vector<Vector2> contents(count);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(Vector2)), contents.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return contents;
    }

    GLint bufferSize(GLuint buffer) {
        GLint size = -1;
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return size;
    }

    // The buffer that feeds the named attribute in the bound vertex array.
    GLint attributeBuffer(const char* name) {
        GLint buffer = 0;
        glGetVertexAttribiv(static_cast<GLuint>(glGetAttribLocation(font->programHandle, name)),
                            GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        return buffer;
    }

    std::unique_ptr<ShaderProgram> font;
};

TEST_F(TextTest, BuffersHoldTheLineAndFeedTheFontAttributes) {
    Text text(font.get());
    text.build("Hi \xC4", 3, 5, 9);
    std::vector<Vector2> positions, uvs;
    buildTextGeometry("Hi \xC4", 3, 5, 9, positions, uvs);
    ASSERT_EQ(text.positions.size(), positions.size());

    for (const auto& [buffer, expected] : {std::make_pair(text.positionBuffer, positions), std::make_pair(text.uvBuffer, uvs)}) {
        EXPECT_EQ(bufferSize(buffer), static_cast<GLint>(expected.size() * 8));
        const std::vector<Vector2> uploaded = bufferContents(buffer, expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(uploaded[i].x, expected[i].x) << i;
            EXPECT_EQ(uploaded[i].y, expected[i].y) << i;
        }
    }

    glBindVertexArray(text.vao);
    EXPECT_EQ(static_cast<GLuint>(attributeBuffer("position")), text.positionBuffer);
    EXPECT_EQ(static_cast<GLuint>(attributeBuffer("uvs")), text.uvBuffer);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(TextTest, OverlappingTextsAddTheirColours) {
    // Both cells cover the whole window; culling shows whether they face the viewer.
    glEnable(GL_CULL_FACE);
    Text first(font.get()), second(font.get());
    first.build("A", 0, 0, width);
    second.build("\xC4", 0, 0, width);

    first.draw();
    const auto once = readPixel(width / 2, height / 2);
    second.draw();
    const auto twice = readPixel(width / 2, height / 2);

    // (0.4, 0.2, 0.8) weighted by alpha 0.5, added to black and then to itself.
    EXPECT_NEAR(once[0], 51, 1);
    EXPECT_NEAR(once[1], 26, 1);
    EXPECT_NEAR(once[2], 102, 1);
    EXPECT_NEAR(twice[0], 102, 2);
    EXPECT_NEAR(twice[1], 51, 2);
    EXPECT_NEAR(twice[2], 204, 2);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(TextTest, EmptyTextBuildsAndDrawsNothing) {
    Text text(font.get());
    text.build("", 10, 10, 10);
    EXPECT_TRUE(glIsVertexArray(text.vao));
    EXPECT_TRUE(glIsBuffer(text.positionBuffer));
    EXPECT_EQ(bufferSize(text.positionBuffer), 0);
    EXPECT_EQ(bufferSize(text.uvBuffer), 0);

    text.draw();
    const auto pixel = readPixel(15, 15);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(takeGlErrors(), 0);
    EXPECT_EQ(drainGetError(), 0);
}

TEST_F(TextTest, DestructionDeletesOnlyItsOwnObjects) {
    auto* doomed = new Text(font.get());
    Text survivor(font.get());
    doomed->build("GEWONNEN", 0, 0, 8);
    survivor.build("GAMEOVER", 0, 20, 8);
    const GLuint names[] = {doomed->positionBuffer, doomed->uvBuffer, doomed->vao};
    delete doomed;

    EXPECT_FALSE(glIsBuffer(names[0]));
    EXPECT_FALSE(glIsBuffer(names[1]));
    EXPECT_FALSE(glIsVertexArray(names[2]));
    EXPECT_TRUE(glIsBuffer(survivor.positionBuffer));
    EXPECT_TRUE(glIsBuffer(survivor.uvBuffer));
    EXPECT_TRUE(glIsVertexArray(survivor.vao));
    EXPECT_TRUE(glIsProgram(font->programHandle));
    EXPECT_EQ(takeGlErrors(), 0);
}

}  // namespace
