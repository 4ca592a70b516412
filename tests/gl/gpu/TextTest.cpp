// Text drawn with a test font program that writes one fixed colour at half weight.
#include "gpu/ShaderProgram.h"
#include "gpu/Text.h"
#include "support/GlTestContext.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

class TextTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        const std::string dir = QM_TEST_SHADER_DIR;
        font = std::make_unique<ShaderProgram>((dir + "/text.vert").c_str(), (dir + "/text_solid.frag").c_str());
        glUseProgram(font->programHandle);
        glUniform1i(glGetUniformLocation(font->programHandle, "width"), width);
        glUniform1i(glGetUniformLocation(font->programHandle, "height"), height);
    }
    void TearDown() override {
        EXPECT_EQ(takeGlErrors() + drainGetError(), 0);
        font.reset();
        GlTest::TearDown();
    }
    std::unique_ptr<ShaderProgram> font;
};

}  // namespace

// Both cells cover the whole window; culling shows whether they face the viewer.
TEST_F(TextTest, OverlappingTextsAddTheirColoursAndAnEmptyTextDrawsNothing) {
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Text first(font.get()), second(font.get()), empty(font.get());
    first.build("A", 0, 0, width);
    second.build("\xC4", 0, 0, width);
    empty.build("", 10, 10, 10);
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, empty.positionBuffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 0);
    empty.draw();
    EXPECT_EQ(readPixel(width / 2, height / 2)[2], 0);
    // (0.4, 0.2, 0.8) weighted by alpha 0.5, added to black and then to itself.
    first.draw();
    const auto once = readPixel(width / 2, height / 2);
    second.draw();
    const auto twice = readPixel(width / 2, height / 2);
    EXPECT_TRUE(std::abs(once[0] - 51) <= 1 && std::abs(once[2] - 102) <= 1) << int(once[0]) << " " << int(once[2]);
    EXPECT_TRUE(std::abs(twice[0] - 102) <= 2 && std::abs(twice[2] - 204) <= 2) << int(twice[0]) << " " << int(twice[2]);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(TextTest, DestructionDeletesOnlyItsOwnObjects) {
    auto doomed = std::make_unique<Text>(font.get());
    Text survivor(font.get());
    doomed->build("GEWONNEN", 0, 0, 8);
    survivor.build("GAMEOVER", 0, 20, 8);
    const GLuint buffers[] = {doomed->positionBuffer, doomed->uvBuffer}, vao = doomed->vao;
    doomed.reset();
    EXPECT_FALSE(glIsBuffer(buffers[0]) || glIsBuffer(buffers[1]) || glIsVertexArray(vao));
    EXPECT_TRUE(glIsBuffer(survivor.positionBuffer) && glIsBuffer(survivor.uvBuffer) && glIsVertexArray(survivor.vao));
    EXPECT_TRUE(glIsProgram(font->programHandle));
}
