#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "support/GlTestContext.h"

#include <FreeImage.h>

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;
// Colour of picture pixel (x, y), y counted from the bottom row.
using Picture = std::function<Rgb(unsigned x, unsigned y)>;

const std::string SHADERS = QM_TEST_SHADER_DIR;

Rgb stripes(unsigned x, unsigned y) {
    return {static_cast<int>(40 * x + 10), static_cast<int>(60 * y + 20), static_cast<int>(200 - 30 * x)};
}

// Saves a 24-bit picture; FreeImage's scanline 0 is the bottom row.
void saveRgb(const std::string& path, FREE_IMAGE_FORMAT format, unsigned width, unsigned height,
             const Picture& picture, int flags = 0) {
    FIBITMAP* image = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const Rgb c = picture(x, y);
            RGBQUAD quad{static_cast<BYTE>(c[2]), static_cast<BYTE>(c[1]), static_cast<BYTE>(c[0]), 0};
            FreeImage_SetPixelColor(image, x, y, &quad);
        }
    ASSERT_TRUE(FreeImage_Save(format, image, path.c_str(), flags));
    FreeImage_Unload(image);
}

unsigned decodedBpp(const std::string& path) {
    FIBITMAP* image = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    const unsigned bpp = image ? FreeImage_GetBPP(image) : 0;
    FreeImage_Unload(image);
    return bpp;
}

class TextureTest : public GlTest {
protected:
    GLint levelParameter(int level, GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
        return value;
    }

    // Level 0 of the bound texture, tightly packed RGB rows from row 0 up.
    std::vector<unsigned char> level0() {
        const GLint w = levelParameter(0, GL_TEXTURE_WIDTH), h = levelParameter(0, GL_TEXTURE_HEIGHT);
        std::vector<unsigned char> texels(static_cast<size_t>(w * h * 3));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    void expectTexels(const Texture& texture, unsigned width, unsigned height, const Picture& picture,
                      int tolerance = 0) {
        glBindTexture(GL_TEXTURE_2D, texture.textureHandle);
        ASSERT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), static_cast<GLint>(width));
        ASSERT_EQ(levelParameter(0, GL_TEXTURE_HEIGHT), static_cast<GLint>(height));
        const std::vector<unsigned char> texels = level0();
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x)
                for (int channel = 0; channel < 3; ++channel)
                    EXPECT_NEAR(texels[(y * width + x) * 3 + channel], picture(x, y)[channel], tolerance)
                        << "texel " << x << "," << y << " channel " << channel;
    }

    // What a shader reads from texture at (u, v) on unit 0.
    std::array<unsigned char, 4> sample(const Texture& texture, float u, float v) {
        ShaderProgram program((SHADERS + "/fullscreen.vert").c_str(), (SHADERS + "/sample_at.frag").c_str());
        GLuint vao = 0;
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glUseProgram(program.programHandle);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture.textureHandle);
        glUniform1i(glGetUniformLocation(program.programHandle, "colorTexture"), 0);
        glUniform2f(glGetUniformLocation(program.programHandle, "at"), u, v);
        glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        const auto pixel = readPixel(width / 2, height / 2);
        glDeleteVertexArrays(1, &vao);
        return pixel;
    }

    TempDir dir;
};

TEST_F(TextureTest, RowsOfAnOddWidthImageUploadWithoutSkew) {
    saveRgb(dir / "odd.bmp", FIF_BMP, 5, 3, stripes);
    Texture texture((dir / "odd.bmp").c_str());
    expectTexels(texture, 5, 3, stripes);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(TextureTest, PictureTopRowIsSampledNearVOne) {
    // A binary PPM lists rows top first: red on top, blue below.
    const std::string redRow("\xff\x00\x00\xff\x00\x00", 6), blueRow("\x00\x00\xff\x00\x00\xff", 6);
    writeTextFile(dir / "rows.ppm", "P6\n2 2\n255\n" + redRow + blueRow);
    Texture texture((dir / "rows.ppm").c_str());

    const std::vector<unsigned char> texels = level0();
    EXPECT_EQ(texels[2], 255) << "row 0 is the bottom row of the picture";
    EXPECT_EQ(texels[6], 255) << "row 1 is the top row of the picture";

    const auto top = sample(texture, 0.5f, 0.75f);
    const auto bottom = sample(texture, 0.5f, 0.25f);
    EXPECT_EQ(top[0], 255);
    EXPECT_EQ(top[2], 0);
    EXPECT_EQ(bottom[0], 0);
    EXPECT_EQ(bottom[2], 255);
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(TextureTest, FormatIsTakenFromTheContentBeforeTheName) {
    const Picture plain = [](unsigned, unsigned) { return Rgb{200, 40, 60}; };
    saveRgb(dir / "photo.bmp", FIF_JPEG, 16, 8, plain, JPEG_QUALITYSUPERB);
    ASSERT_EQ(FreeImage_GetFileType((dir / "photo.bmp").c_str(), 0), FIF_JPEG);
    Texture texture((dir / "photo.bmp").c_str());
    expectTexels(texture, 16, 8, plain, 8);
}

TEST_F(TextureTest, MissingFilePrintsNothingAndSamplesBlack) {
    const ChildResult result = runChild({probePath("gpu_texture_probe"), "Models/missing.jpg"}, dir.path);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");

    writeTextFile(dir / "garbage.jpg", "not an image at all");
    for (const std::string& path : {dir / "missing.jpg", dir / "garbage.jpg", dir / "noextension"}) {
        SCOPED_TRACE(path);
        Texture texture(path.c_str());
        EXPECT_EQ(levelParameter(0, GL_TEXTURE_WIDTH), 0);
        const auto pixel = sample(texture, 0.5f, 0.5f);
        EXPECT_EQ(pixel, (std::array<unsigned char, 4>{0, 0, 0, 255}));
    }
    EXPECT_EQ(takeGlErrors(), 0);
}

TEST_F(TextureTest, OddSizedImageGetsEveryMipmapLevelOnUnitZero) {
    saveRgb(dir / "wide.bmp", FIF_BMP, 37, 10, stripes);
    glActiveTexture(GL_TEXTURE3);
    Texture texture((dir / "wide.bmp").c_str());

    GLint active = 0, bound = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(static_cast<GLuint>(bound), texture.textureHandle);

    const std::vector<std::array<GLint, 2>> sizes = {{37, 10}, {18, 5}, {9, 2}, {4, 1}, {2, 1}, {1, 1}};
    for (size_t level = 0; level < sizes.size(); ++level) {
        EXPECT_EQ(levelParameter(static_cast<int>(level), GL_TEXTURE_WIDTH), sizes[level][0]) << level;
        EXPECT_EQ(levelParameter(static_cast<int>(level), GL_TEXTURE_HEIGHT), sizes[level][1]) << level;
        EXPECT_EQ(levelParameter(static_cast<int>(level), GL_TEXTURE_INTERNAL_FORMAT), GL_RGB) << level;
    }

    EXPECT_EQ(takeGlErrors(), 0);
}

// Images that decode to other than 24 bits per pixel.
struct OtherDepth {
    const char* name;
    FREE_IMAGE_FORMAT format;
    unsigned bpp;
};

void PrintTo(const OtherDepth& kind, std::ostream* out) { *out << kind.name; }

class TextureDepthTest : public TextureTest, public ::testing::WithParamInterface<OtherDepth> {};

// Full and zero channels, which survive 5- and 6-bit storage exactly.
const RGBQUAD PRIMARIES[] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
constexpr unsigned DEPTH_WIDTH = 7, DEPTH_HEIGHT = 3;

RGBQUAD greyOrPrimary(bool grey, unsigned i) {
    const BYTE level = static_cast<BYTE>(i);
    return grey ? RGBQUAD{level, level, level, 0} : PRIMARIES[i % 4];
}

// Writes a small image of the given depth; returns what each pixel must
// read as once converted to RGB.
Picture saveDepth(const std::string& path, const OtherDepth& kind) {
    std::vector<Rgb> colours;
    FIBITMAP* image = nullptr;
    if (kind.bpp == 8) {
        const bool grey = std::string(kind.name) == "grey";
        image = FreeImage_Allocate(DEPTH_WIDTH, DEPTH_HEIGHT, 8);
        RGBQUAD* palette = FreeImage_GetPalette(image);
        for (unsigned i = 0; i < 256; ++i) palette[i] = greyOrPrimary(grey, i);
        for (unsigned y = 0; y < DEPTH_HEIGHT; ++y)
            for (unsigned x = 0; x < DEPTH_WIDTH; ++x) {
                BYTE index = static_cast<BYTE>(grey ? 30 * x + 50 * y : x + y);
                FreeImage_SetPixelIndex(image, x, y, &index);
                colours.push_back({palette[index].rgbRed, palette[index].rgbGreen, palette[index].rgbBlue});
            }
    } else {
        image = kind.bpp == 16 ? FreeImage_Allocate(DEPTH_WIDTH, DEPTH_HEIGHT, 16, FI16_565_RED_MASK,
                                                    FI16_565_GREEN_MASK, FI16_565_BLUE_MASK)
                               : FreeImage_Allocate(DEPTH_WIDTH, DEPTH_HEIGHT, 32, FI_RGBA_RED_MASK,
                                                    FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
        for (unsigned y = 0; y < DEPTH_HEIGHT; ++y)
            for (unsigned x = 0; x < DEPTH_WIDTH; ++x) {
                RGBQUAD quad = PRIMARIES[(x + 2 * y) % 4];
                quad.rgbReserved = static_cast<BYTE>(40 * x);  // alpha, which the upload drops
                FreeImage_SetPixelColor(image, x, y, &quad);
                colours.push_back({quad.rgbRed, quad.rgbGreen, quad.rgbBlue});
            }
    }
    EXPECT_TRUE(FreeImage_Save(kind.format, image, path.c_str(), 0));
    FreeImage_Unload(image);
    return [colours](unsigned x, unsigned y) { return colours[y * DEPTH_WIDTH + x]; };
}

TEST_P(TextureDepthTest, UploadsTheSameColoursAfterConversion) {
    const std::string path = dir / (std::string(GetParam().name) + (GetParam().format == FIF_PNG ? ".png" : ".bmp"));
    const Picture expected = saveDepth(path, GetParam());
    ASSERT_EQ(decodedBpp(path), GetParam().bpp);
    Texture texture(path.c_str());
    expectTexels(texture, DEPTH_WIDTH, DEPTH_HEIGHT, expected);
    EXPECT_EQ(takeGlErrors(), 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, TextureDepthTest,
                         ::testing::Values(OtherDepth{"grey", FIF_PNG, 8}, OtherDepth{"palette", FIF_BMP, 8},
                                           OtherDepth{"rgb565", FIF_BMP, 16}, OtherDepth{"rgba", FIF_PNG, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
