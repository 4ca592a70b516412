#include "geometry/Cube.h"
#include "geometry/Mesh.h"
#include "geometry/Terrain.h"
#include "support/GlTestContext.h"
#include "unit/geometry/GeometryTestFiles.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* kUpFacingQuad = "v -2 0 2\nv 2 0 2\nv 2 0 -2\nv -2 0 -2\n"
                            "vt 0 0 0.5\nvt 1 0 0.5\nvt 1 1 0.5\nvt 0 1 0.5\nf 1/1 2/2 3/3 4/4\n";

class GeometryGl : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        writeTextFile(dir / "quad.obj", kUpFacingQuad);
        // Only "position" and "normal", seen from straight above.
        const std::string shaders = std::string(QM_TEST_SHADER_DIR) + "/geometry/";
        program = std::make_unique<ShaderProgram>((shaders + "top_view.vert").c_str(), (shaders + "colour.frag").c_str());
    }
    void TearDown() override {
        EXPECT_EQ(takeGlErrors(), 0);
        program.reset();
        GlTest::TearDown();
    }
    // Clears, draws with back faces culled and returns the triangle count.
    GLuint drawnTriangles(SceneObject& object) {
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_CULL_FACE);
        glUseProgram(program->programHandle);
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        object.draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    }
    bool greenAt(int x, int y) { return readPixel(x, y) == std::array<unsigned char, 4>{0, 255, 0, 255}; }
    TempDir dir;
    std::unique_ptr<ShaderProgram> program;
};

}  // namespace

TEST_F(GeometryGl, CubeAndMeshDrawWithAProgramThatLacksTheirOtherInputs) {
    Cube cube(Matrix4(), program.get());
    EXPECT_EQ(drawnTriangles(cube), 12u);
    EXPECT_TRUE(greenAt(width / 2, height / 2)) << "the top face faces up";
    EXPECT_FALSE(greenAt(1, 1));

    Mesh mesh(Matrix4(), program.get(), (dir / "quad.obj").c_str());
    ASSERT_EQ(mesh.positions.size(), 4u);
    std::vector<float> uvs(8, -1.0f);
    glBindBuffer(GL_COPY_READ_BUFFER, mesh.uvBuffer);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, sizeof(float) * 8, uvs.data());
    for (size_t v = 0; v < 4; ++v)
        EXPECT_TRUE(uvs[2 * v] == (mesh.positions[v].x + 2) / 4 && uvs[2 * v + 1] == (2 - mesh.positions[v].z) / 4) << "(u, v, w) uploads as (u, v)";
    EXPECT_EQ(drawnTriangles(mesh), 2u);
    EXPECT_TRUE(greenAt(1, 1) && greenAt(width - 2, height - 2));
}

TEST_F(GeometryGl, OwnersReleaseTheirBuffersAndVertexArraysButNotTheProgram) {
    const std::string map = writeBitmap(dir / "flat.bmp", 2, 2, 24, [](int, int) { return 0; });
    auto cube = std::make_unique<Cube>(Matrix4(), program.get());
    auto mesh = std::make_unique<Mesh>(Matrix4(), program.get(), (dir / "quad.obj").c_str());
    auto terrain = std::make_unique<Terrain>(Matrix4(), program.get(), 0.06f, 2.0f, map.c_str());
    const GLuint buffers[] = {cube->positionBuffer, cube->normalBuffer, cube->indexBuffer, mesh->positionBuffer,
                              mesh->normalBuffer, mesh->uvBuffer, mesh->tangentBuffer, mesh->bitangentBuffer, mesh->indexBuffer,
                              terrain->positionBuffer, terrain->normalBuffer, terrain->uvBuffer, terrain->indexBuffer};
    const GLuint arrays[3] = {cube->vao, mesh->vao, terrain->vao};
    for (GLuint buffer : buffers) ASSERT_TRUE(glIsBuffer(buffer));
    std::unique_ptr<SceneObject>(cube.release()).reset();
    std::unique_ptr<SceneObject>(mesh.release()).reset();
    terrain.reset();
    for (GLuint buffer : buffers) EXPECT_FALSE(glIsBuffer(buffer)) << buffer;
    for (GLuint vao : arrays) EXPECT_FALSE(glIsVertexArray(vao)) << vao;
    EXPECT_TRUE(glIsProgram(program->programHandle));
}
