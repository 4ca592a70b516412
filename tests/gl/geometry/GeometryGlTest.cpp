#include "geometry/Cube.h"
#include "geometry/Mesh.h"
#include "geometry/Terrain.h"
#include "support/GlTestContext.h"
#include "unit/geometry/GeometryTestFiles.h"

#include <gtest/gtest.h>

namespace {

// A program whose only inputs are "position" and "normal", seen from above.
ShaderProgram topViewProgram() {
    const std::string dir = std::string(QM_TEST_SHADER_DIR) + "/geometry/";
    return ShaderProgram((dir + "top_view.vert").c_str(), (dir + "colour.frag").c_str());
}

template <typename T>
std::vector<T> readBuffer(GLuint buffer) {
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<T> values(static_cast<size_t>(size) / sizeof(T));
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, size, values.data());
    return values;
}

template <typename V>
std::vector<float> floatsOf(const std::vector<V>& list) {
    const float* first = &list.data()->x;
    return std::vector<float>(first, first + list.size() * sizeof(V) / sizeof(float));
}

const char* kUpFacingQuad = "v -2 0 2\nv 2 0 2\nv 2 0 -2\nv -2 0 -2\n"
                            "vt 0 0 0.5\nvt 1 0 0.5\nvt 1 1 0.5\nvt 0 1 0.5\nf 1/1 2/2 3/3 4/4\n";

}  // namespace

class GeometryGl : public GlTest {
protected:
    // Clears, draws with back faces culled and returns the triangle count.
    template <typename Draw>
    GLuint drawnTriangles(const ShaderProgram& program, Draw draw) {
        glViewport(0, 0, width, height);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_CULL_FACE);
        glUseProgram(program.programHandle);
        GLuint query = 0, count = 0;
        glGenQueries(1, &query);
        glBeginQuery(GL_PRIMITIVES_GENERATED, query);
        draw();
        glEndQuery(GL_PRIMITIVES_GENERATED);
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
        glDeleteQueries(1, &query);
        return count;
    }
    bool greenAt(int x, int y) { return readPixel(x, y) == std::array<unsigned char, 4>{0, 255, 0, 255}; }
};

TEST_F(GeometryGl, CubeDrawsTwelveTrianglesFromItsOwnBuffers) {
    ShaderProgram program = topViewProgram();
    Cube cube(Matrix4(), &program);
    EXPECT_EQ(drawnTriangles(program, [&] { cube.draw(); }), 12u);
    EXPECT_TRUE(greenAt(width / 2, height / 2));  // the top face
    EXPECT_FALSE(greenAt(1, 1));
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(GeometryGl, MeshUploadsItsListsAndDrawsWithoutTheInputsItsProgramLacks) {
    TempDir dir;
    writeTextFile(dir / "quad.obj", kUpFacingQuad);
    ShaderProgram program = topViewProgram();
    Mesh mesh(Matrix4(), &program, (dir / "quad.obj").c_str());
    ASSERT_EQ(mesh.positions.size(), 4u);
    const std::vector<float> uvs = readBuffer<float>(mesh.uvBuffer);
    ASSERT_EQ(uvs, floatsOf(mesh.uvs));
    for (size_t v = 0; v < 4; ++v) {
        EXPECT_EQ(uvs[2 * v], (mesh.positions[v].x + 2.0f) / 4.0f);
        EXPECT_EQ(uvs[2 * v + 1], (2.0f - mesh.positions[v].z) / 4.0f);
    }
    EXPECT_EQ(readBuffer<float>(mesh.tangentBuffer), floatsOf(mesh.tangents));
    EXPECT_EQ(readBuffer<float>(mesh.bitangentBuffer), floatsOf(mesh.bitangents));
    EXPECT_EQ(readBuffer<uint16_t>(mesh.indexBuffer), mesh.indices);
    EXPECT_EQ(drawnTriangles(program, [&] { mesh.draw(); }), 2u);
    EXPECT_TRUE(greenAt(1, 1) && greenAt(width / 2, height / 2) && greenAt(width - 2, height - 2));
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(GeometryGl, TerrainUploadsItsGridFacingUp) {
    TempDir dir;
    const std::string map = writeBitmap(dir / "flat.bmp", 3, 3, 8, [](int, int) { return 40; });
    ShaderProgram program = topViewProgram();
    Terrain terrain(translateBy(Matrix4(), Vector3{0, -2, 0}), &program, 1.0f, 2.0f, map.c_str());
    EXPECT_EQ(terrain.model.m[3][1], -2.0f);
    EXPECT_EQ(readBuffer<uint16_t>(terrain.indexBuffer), terrain.indices);
    EXPECT_EQ(readBuffer<float>(terrain.uvBuffer), floatsOf(terrain.uvs));
    const GLuint triangles = drawnTriangles(program, [&] {
        glBindVertexArray(terrain.vao);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(terrain.indices.size()), GL_UNSIGNED_SHORT, nullptr);
        glBindVertexArray(0);
    });
    EXPECT_EQ(triangles, 8u);
    EXPECT_TRUE(greenAt(1, 1) && greenAt(width / 2, height / 2) && greenAt(width - 2, height - 2));
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(GeometryGl, OwnersReleaseTheirBuffersAndVertexArraysButNotTheProgram) {
    TempDir dir;
    writeTextFile(dir / "quad.obj", kUpFacingQuad);
    const std::string map = writeBitmap(dir / "flat.bmp", 2, 2, 24, [](int, int) { return 0; });
    ShaderProgram program = topViewProgram();
    auto* cube = new Cube(Matrix4(), &program);
    auto* mesh = new Mesh(Matrix4(), &program, (dir / "quad.obj").c_str());
    auto* terrain = new Terrain(Matrix4(), &program, 0.06f, 2.0f, map.c_str());
    const std::vector<GLuint> buffers = {
        cube->positionBuffer,    cube->normalBuffer,  cube->indexBuffer,      mesh->positionBuffer,
        mesh->normalBuffer,      mesh->uvBuffer,      mesh->tangentBuffer,    mesh->bitangentBuffer,
        mesh->indexBuffer,       terrain->positionBuffer, terrain->normalBuffer, terrain->uvBuffer,
        terrain->indexBuffer};
    const GLuint arrays[3] = {cube->vao, mesh->vao, terrain->vao};
    for (GLuint buffer : buffers) ASSERT_TRUE(glIsBuffer(buffer));
    delete static_cast<SceneObject*>(cube);
    delete static_cast<SceneObject*>(mesh);
    delete terrain;

    for (GLuint buffer : buffers) EXPECT_FALSE(glIsBuffer(buffer)) << buffer;
    for (GLuint vao : arrays) EXPECT_FALSE(glIsVertexArray(vao)) << vao;
    EXPECT_TRUE(glIsProgram(program.programHandle));
    EXPECT_EQ(takeGlErrors(), 0);
}
