#include "support/WorldFixture.h"

#include "geometry/Cube.h"
#include "geometry/Mesh.h"
#include "geometry/Terrain.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Text.h"
#include "gpu/Texture.h"
#include "world/World.h"

#include <unistd.h>

void WorldTest::SetUp() {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(chdir(QM_DATA_DIR), 0);
    windowWidth = width;
    windowHeight = height;
    world = World{};
}

void WorldTest::TearDown() { GlTest::TearDown(); }

WorldTest::Names WorldTest::worldNames() {
    Names n;
    for (ShaderProgram* p : {world.basicProgram, world.fontProgram, world.transparentProgram, world.normalMappingProgram}) {
        n.programs.insert(p->programHandle);
        n.shaders.insert({p->vertexShaderHandle, p->fragmentShaderHandle});
    }
    std::vector<Text*> texts = {world.wonText, world.restartText, world.gameOverText, world.livesText1, world.livesText2,
                                world.livesText3, world.samplingNearestText, world.samplingLinearText, world.mipmapOffText,
                                world.mipmapNearestText, world.mipmapLinearText, world.transparencyOnText,
                                world.transparencyOffText, world.framesText};
    for (Text* digit : world.frameDigitTexts)
        if (digit) texts.push_back(digit);
    for (Text* t : texts) {
        n.buffers.insert({t->positionBuffer, t->uvBuffer});
        n.vertexArrays.insert(t->vao);
    }
    for (SceneObject* object : {world.waterMesh, world.mapMesh, world.skyMesh, world.plusMesh, world.sphereMesh,
                                world.plusShadowMesh, world.sphereShadowMesh})
        if (auto* mesh = dynamic_cast<Mesh*>(object)) {
            n.buffers.insert({mesh->positionBuffer, mesh->normalBuffer, mesh->uvBuffer, mesh->tangentBuffer,
                              mesh->bitangentBuffer, mesh->indexBuffer});
            n.vertexArrays.insert(mesh->vao);
        }
    auto* cube = dynamic_cast<Cube*>(world.cube);
    Terrain* t = world.terrain;
    n.buffers.insert({cube->positionBuffer, cube->normalBuffer, cube->indexBuffer, t->positionBuffer, t->normalBuffer,
                      t->uvBuffer, t->indexBuffer});
    n.vertexArrays.insert({cube->vao, t->vao});
    for (Texture* tex : {world.fontTexture, world.rockTexture, world.brickNormalTexture, world.skyTexture,
                         world.waterColorTexture, world.waterNormalTexture, world.waterDudvTexture,
                         world.carpetTexture, world.groundTexture, world.groundNormalTexture})
        n.textures.insert(tex->textureHandle);
    return n;
}

std::vector<float> uniformFloats(GLuint program, const char* name, int count) {
    std::vector<float> values(static_cast<size_t>(count), -12345.0f);
    glGetUniformfv(program, glGetUniformLocation(program, name), values.data());
    return values;
}

GLint uniformInt(GLuint program, const char* name) {
    GLint value = -12345;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}
