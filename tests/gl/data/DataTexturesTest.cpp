#include "gpu/Texture.h"
#include "support/GlTestContext.h"

#include <FreeImage.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kTextures[] = {"Font/flipped_mit_herz.bmp", "Models/017roche.jpg",    "Models/brick20n.jpg",
                                 "Models/Above_The_Sea2.jpg", "Models/13_DIFFUSE.jpg",  "Models/water_normal3.jpg",
                                 "Models/water_dudv3.jpg",    "Models/carpet.jpg",      "Models/ground13.jpg",
                                 "Models/ground13n.jpg"};

using DataTexturesTest = GlTest;

// Each data picture becomes a complete texture of its own size whose
// bottom-left and top-right texels are the picture's.
TEST_F(DataTexturesTest, EveryPictureLoadsThroughTexture) {
    for (const char* name : kTextures) {
        SCOPED_TRACE(name);
        const std::string path = std::string(QM_DATA_DIR) + "/" + name;
        std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)> picture(
            FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0), FreeImage_Unload);
        ASSERT_TRUE(picture);
        const int w = static_cast<int>(FreeImage_GetWidth(picture.get()));
        const int h = static_cast<int>(FreeImage_GetHeight(picture.get()));

        Texture texture(path.c_str());
        GLint tw = 0, th = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
        EXPECT_EQ(tw, w);
        EXPECT_EQ(th, h);

        std::vector<unsigned char> texels(static_cast<size_t>(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, h - 1}}) {
            RGBQUAD c{};
            FreeImage_GetPixelColor(picture.get(), static_cast<unsigned>(x), static_cast<unsigned>(y), &c);
            const unsigned char* t = &texels[(static_cast<size_t>(y) * w + x) * 3];
            EXPECT_EQ(t[0], c.rgbRed);
            EXPECT_EQ(t[1], c.rgbGreen);
            EXPECT_EQ(t[2], c.rgbBlue);
        }
        EXPECT_EQ(takeGlErrors(), 0);
    }
}

}  // namespace
