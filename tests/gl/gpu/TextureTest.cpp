// Textures from small images the tests write, read back from GL. Pictures
// that sample black: tests/e2e/test_bad_inputs.py.
#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "support/GlTestContext.h"

#include <FreeImage.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;
// Colour of picture pixel (x, y), y counted from the bottom row as FreeImage does.
using Picture = std::function<Rgb(unsigned x, unsigned y)>;

Rgb stripes(unsigned x, unsigned y) { return {int(40 * x + 10) % 256, int(60 * y + 20) % 256, int(200 + 7 * x) % 256}; }

class TextureTest : public GlTest {
protected:
    void TearDown() override {
        EXPECT_EQ(takeGlErrors(), 0);
        GlTest::TearDown();
    }
    GLint level(int n, GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, n, name, &value);
        return value;
    }
    // Saves picture with bpp bits per pixel (at 8 bits its red is an index into
    // palette(i, 0)), uploads it and compares every texel with what it shows.
    void roundTrip(const std::string& name, FREE_IMAGE_FORMAT format, unsigned w, unsigned h, const Picture& picture,
                   unsigned bpp = 24, const Picture& palette = nullptr, int flags = 0, int tolerance = 0) {
        const std::string path = dir / name;
        FIBITMAP* image = FreeImage_Allocate(int(w), int(h), int(bpp));
        for (unsigned i = 0; palette && i < 256; ++i) {
            const Rgb c = palette(i, 0);
            FreeImage_GetPalette(image)[i] = RGBQUAD{BYTE(c[2]), BYTE(c[1]), BYTE(c[0]), 0};
        }
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) {
                const Rgb c = picture(x, y);
                RGBQUAD quad{BYTE(c[2]), BYTE(c[1]), BYTE(c[0]), BYTE(40 * x)};  // alpha, which the upload drops
                BYTE index = BYTE(c[0]);
                bpp == 8 ? FreeImage_SetPixelIndex(image, x, y, &index) : FreeImage_SetPixelColor(image, x, y, &quad);
            }
        ASSERT_TRUE(FreeImage_Save(format, image, path.c_str(), flags));
        FreeImage_Unload(image);
        image = FreeImage_Load(format, path.c_str(), 0);
        ASSERT_EQ(FreeImage_GetBPP(image), bpp) << name;
        FreeImage_Unload(image);
        Texture texture(path.c_str());
        ASSERT_EQ(level(0, GL_TEXTURE_WIDTH) * 1000 + level(0, GL_TEXTURE_HEIGHT), GLint(w * 1000 + h));
        std::vector<unsigned char> texels(w * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        for (unsigned i = 0; i < w * h * 3; ++i) {
            const Rgb c = picture(i / 3 % w, i / 3 / w);
            EXPECT_NEAR(texels[i], (palette ? palette(unsigned(c[0]), 0) : c)[i % 3], tolerance) << name << " byte " << i;
        }
    }
    // What a shader reads from the texture at (u, v).
    std::array<unsigned char, 4> sample(const std::string& path, float u, float v) {
        const Texture texture(path.c_str());
        const std::string shaders = QM_TEST_SHADER_DIR;
        ShaderProgram program((shaders + "/fullscreen.vert").c_str(), (shaders + "/sample_at.frag").c_str());
        GLuint vao = 0;
        glGenVertexArrays(1, &vao);
        glBindVertexArray(vao);
        glUseProgram(program.programHandle);
        glUniform2f(glGetUniformLocation(program.programHandle, "at"), u, v);
        glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glDeleteVertexArrays(1, &vao);
        return readPixel(width / 2, height / 2);
    }
    TempDir dir;
};

}  // namespace

TEST_F(TextureTest, OddWidthRowsUploadWithoutSkewAndTheTopRowIsSampledNearVOne) {
    roundTrip("odd.bmp", FIF_BMP, 5, 3, stripes);
    EXPECT_NEAR(sample(dir / "odd.bmp", 0.5f, 2.5f / 3.0f)[1], stripes(2, 2)[1], 2) << "not the bottom row's " << stripes(2, 0)[1];
}

TEST_F(TextureTest, FormatComesFromTheContentNotTheName) {
    roundTrip("photo.bmp", FIF_JPEG, 16, 8, [](unsigned, unsigned) { return Rgb{200, 40, 60}; }, 24, nullptr, JPEG_QUALITYSUPERB, 8);
}

TEST_F(TextureTest, NonPowerOfTwoImageGetsEveryMipmapLevel) {
    roundTrip("wide.bmp", FIF_BMP, 37, 10, stripes);
    const Texture texture((dir / "wide.bmp").c_str());
    const GLint sizes[][2] = {{37, 10}, {18, 5}, {9, 2}, {4, 1}, {2, 1}, {1, 1}};
    for (int n = 0; n < 6; ++n) {
        EXPECT_EQ(level(n, GL_TEXTURE_WIDTH) * 1000 + level(n, GL_TEXTURE_HEIGHT), sizes[n][0] * 1000 + sizes[n][1]) << n;
        EXPECT_EQ(level(n, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB) << n;
    }
}

TEST_F(TextureTest, OtherDepthsUploadTheirColoursAfterConversion) {
    roundTrip("rgba.png", FIF_PNG, 7, 3, stripes, 32);
    const Picture indices = [](unsigned x, unsigned y) { return Rgb{int(30 * x + 50 * y) % 256, 0, 0}; };
    roundTrip("grey.png", FIF_PNG, 7, 3, indices, 8, [](unsigned i, unsigned) { return Rgb{int(i), int(i), int(i)}; });
    roundTrip("palette.bmp", FIF_BMP, 7, 3, indices, 8, [](unsigned i, unsigned) { return Rgb{int(255 - i), int(i), int(i * 7 % 256)}; });
}
