// The game's own shader and picture files under data/: every shader pair
// passes the reference compiler, links through ShaderProgram and exposes each
// name the game uploads with the type it uploads; every picture loads
// through Texture.
#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "support/GlTestContext.h"

#include <FreeImage.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct ProgramFiles {
    const char* vertex;
    const char* fragment;
    std::vector<const char*> attributes;
    std::map<std::string, GLenum> uniforms;
};

const ProgramFiles kPrograms[] = {
    {"Shader/basic.vert", "Shader/basic.frag", {"position", "normal", "uvs"},
     {{"M", GL_FLOAT_MAT4}, {"VP", GL_FLOAT_MAT4}, {"V", GL_FLOAT_MAT4}, {"depthBiasMVP", GL_FLOAT_MAT4},
      {"enableDiscard", GL_INT}, {"shadowMap", GL_SAMPLER_2D_SHADOW}, {"colorTexture", GL_SAMPLER_2D},
      {"lightPosition", GL_FLOAT_VEC3}, {"ambientPercentage", GL_FLOAT_VEC3}, {"specularPercentage", GL_FLOAT_VEC3}}},
    {"Shader/normalMapping.vert", "Shader/normalMapping.frag", {"position", "normal", "uvs", "tangents", "bittangents"},
     {{"M", GL_FLOAT_MAT4}, {"VP", GL_FLOAT_MAT4}, {"V", GL_FLOAT_MAT4}, {"enableDiscard", GL_INT},
      {"colorTexture", GL_SAMPLER_2D}, {"normalTexture", GL_SAMPLER_2D}, {"lightPosition", GL_FLOAT_VEC3},
      {"ambientPercentage", GL_FLOAT_VEC3}, {"specularPercentage", GL_FLOAT_VEC3}}},
    {"Shader/transparent.vert", "Shader/transparent.frag", {"position", "normal", "uvs"},
     {{"M", GL_FLOAT_MAT4}, {"VP", GL_FLOAT_MAT4}, {"V", GL_FLOAT_MAT4}, {"depthBiasMVP", GL_FLOAT_MAT4},
      {"reflectionViewMatrix", GL_FLOAT_MAT4}, {"reflectionVP", GL_FLOAT_MAT4}, {"time", GL_FLOAT},
      {"colorTexture", GL_SAMPLER_2D}, {"reflectionTexture", GL_SAMPLER_2D}, {"normalTexture", GL_SAMPLER_2D},
      {"shadowMap", GL_SAMPLER_2D_SHADOW}, {"dudv", GL_SAMPLER_2D}, {"transparencyMode", GL_INT},
      {"lightPosition", GL_FLOAT_VEC3}, {"ambientPercentage", GL_FLOAT_VEC3}, {"specularPercentage", GL_FLOAT_VEC3}}},
    {"Shader/font.vert", "Shader/font.frag", {"position", "uvs"},
     {{"width", GL_INT}, {"height", GL_INT}, {"colorTexture", GL_SAMPLER_2D}}},
    {"Shader/depth.vert", "Shader/depth.frag", {"position"}, {{"depthMVP", GL_FLOAT_MAT4}, {"M", GL_FLOAT_MAT4}}},
    {"Shader/pass.vert", "Shader/SimpleTexture.frag", {"position"}, {{"colorTexture", GL_SAMPLER_2D}}},
};

class DataFilesGl : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_EQ(chdir(QM_DATA_DIR), 0);
    }
    void TearDown() override {
        EXPECT_EQ(takeGlErrors(), 0);
        GlTest::TearDown();
    }
};

}  // namespace

TEST_F(DataFilesGl, ReferenceCompilerAcceptsAndLinksEveryPair) {
    if (runChild({"/usr/bin/env", "glslangValidator", "--version"}, QM_DATA_DIR).status != 0)
        GTEST_SKIP() << "glslangValidator is not installed (Debian: glslang-tools)";
    for (const ProgramFiles& files : kPrograms) {
        const ChildResult result = runChild({"/usr/bin/env", "glslangValidator", "-l", files.vertex, files.fragment}, QM_DATA_DIR);
        EXPECT_EQ(result.status, 0) << files.vertex << result.out << result.err;
    }
}

TEST_F(DataFilesGl, EveryProgramLinksWithEachUploadedNameActiveAndOfItsType) {
    for (const ProgramFiles& files : kPrograms) {
        SCOPED_TRACE(files.vertex);
        const ShaderProgram program(files.vertex, files.fragment);
        for (const char* attribute : files.attributes) EXPECT_NE(glGetAttribLocation(program.programHandle, attribute), -1) << attribute;
        for (const auto& [name, type] : files.uniforms) {
            const char* uniform = name.c_str();
            GLuint index = GL_INVALID_INDEX;
            GLint activeType = 0;
            glGetUniformIndices(program.programHandle, 1, &uniform, &index);
            ASSERT_NE(index, GL_INVALID_INDEX) << name << " is not active";
            glGetActiveUniformsiv(program.programHandle, 1, &index, GL_UNIFORM_TYPE, &activeType);
            EXPECT_EQ(GLenum(activeType), type) << name;
        }
        EXPECT_EQ(glGetFragDataLocation(program.programHandle, "fragColor"), 0);
    }
}

// Power-of-two sides up to 2048 (the sky panorama), 24-bit in the file and RGB in GL.
TEST_F(DataFilesGl, EveryPictureLoadsThroughTexture) {
    for (const char* name : {"Font/flipped_mit_herz.bmp", "Models/017roche.jpg", "Models/brick20n.jpg",
                             "Models/Above_The_Sea2.jpg", "Models/13_DIFFUSE.jpg", "Models/water_normal3.jpg",
                             "Models/water_dudv3.jpg", "Models/carpet.jpg", "Models/ground13.jpg", "Models/ground13n.jpg"}) {
        FIBITMAP* picture = FreeImage_Load(FreeImage_GetFileType(name, 0), name, 0);
        EXPECT_TRUE(picture && FreeImage_GetBPP(picture) == 24) << name;
        FreeImage_Unload(picture);
        const Texture texture(name);
        GLint size[3] = {0, 0, 0};
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &size[2]);
        EXPECT_EQ(size[2], GL_RGB) << name;
        for (GLint side : {size[0], size[1]}) EXPECT_TRUE(side >= 2 && side <= 2048 && (side & (side - 1)) == 0) << name;
    }
}
