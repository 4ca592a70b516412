#include "DataFiles.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const char* const kPictures[] = {"Models/017roche.jpg",     "Models/brick20n.jpg",      "Models/Above_The_Sea2.jpg",
                                 "Models/13_DIFFUSE.jpg",   "Models/water_normal3.jpg", "Models/water_dudv3.jpg",
                                 "Models/carpet.jpg",       "Models/ground13.jpg",      "Models/ground13n.jpg"};
// Pictures repeated across surfaces, so their opposite edges must meet.
const char* const kTiled[] = {"Models/017roche.jpg",   "Models/brick20n.jpg",      "Models/13_DIFFUSE.jpg",
                              "Models/water_normal3.jpg", "Models/water_dudv3.jpg", "Models/carpet.jpg",
                              "Models/ground13.jpg",   "Models/ground13n.jpg"};
const char* const kNormalMaps[] = {"Models/brick20n.jpg", "Models/water_normal3.jpg", "Models/ground13n.jpg"};

bool isPowerOfTwo(unsigned v) { return v != 0 && (v & (v - 1)) == 0; }

float difference(Rgb a, Rgb b) { return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b); }

// Mean colour difference between columns x0 and x1 (or rows, if rows is set).
float lineDifference(FIBITMAP* b, unsigned i0, unsigned i1, bool rows) {
    const unsigned n = rows ? FreeImage_GetWidth(b) : FreeImage_GetHeight(b);
    float sum = 0.0f;
    for (unsigned k = 0; k < n; ++k)
        sum += rows ? difference(pixelAt(b, k, i0), pixelAt(b, k, i1)) : difference(pixelAt(b, i0, k), pixelAt(b, i1, k));
    return sum / static_cast<float>(n);
}

Rgb meanColour(FIBITMAP* b, unsigned y0, unsigned y1) {
    Rgb sum{0, 0, 0};
    const unsigned w = FreeImage_GetWidth(b);
    for (unsigned y = y0; y < y1; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const Rgb p = pixelAt(b, x, y);
            sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
        }
    const float n = static_cast<float>(w * (y1 - y0));
    return {sum.r / n, sum.g / n, sum.b / n};
}

TEST(ImageFiles, EveryPictureIsA24BitPowerOfTwoWithContent) {
    for (const char* name : kPictures) {
        SCOPED_TRACE(name);
        const Bitmap b = loadBitmap(name);
        ASSERT_TRUE(b);
        EXPECT_EQ(FreeImage_GetBPP(b.get()), 24u);
        const unsigned w = FreeImage_GetWidth(b.get()), h = FreeImage_GetHeight(b.get());
        EXPECT_TRUE(isPowerOfTwo(w) && isPowerOfTwo(h) && w <= 1024 && h <= 1024) << w << " x " << h;
        EXPECT_GT(lineDifference(b.get(), 0, w / 2, false), 0.02f) << "looks flat";
    }
}

TEST(ImageFiles, TiledPicturesHaveNoSeamWhereTheyRepeat) {
    for (const char* name : kTiled) {
        SCOPED_TRACE(name);
        const Bitmap b = loadBitmap(name);
        ASSERT_TRUE(b);
        const unsigned w = FreeImage_GetWidth(b.get()), h = FreeImage_GetHeight(b.get());
        // Neighbouring lines inside the picture set the scale of an ordinary step.
        const float stepX = lineDifference(b.get(), w / 2, w / 2 + 1, false);
        const float stepY = lineDifference(b.get(), h / 2, h / 2 + 1, true);
        EXPECT_LT(lineDifference(b.get(), w - 1, 0, false), 2.0f * stepX + 0.01f);
        EXPECT_LT(lineDifference(b.get(), h - 1, 0, true), 2.0f * stepY + 0.01f);
    }
}

TEST(ImageFiles, NormalMapsHoldUnitNormalsFacingOutOfTheSurface) {
    for (const char* name : kNormalMaps) {
        SCOPED_TRACE(name);
        const Bitmap b = loadBitmap(name);
        ASSERT_TRUE(b);
        const unsigned w = FreeImage_GetWidth(b.get()), h = FreeImage_GetHeight(b.get());
        double sumLength = 0.0, sumX = 0.0, sumY = 0.0, minZ = 1.0;
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) {
                const Rgb p = pixelAt(b.get(), x, y);
                const float nx = p.r * 2 - 1, ny = p.g * 2 - 1, nz = p.b * 2 - 1;
                sumLength += std::sqrt(nx * nx + ny * ny + nz * nz);
                sumX += nx, sumY += ny;
                minZ = std::min<double>(minZ, nz);
            }
        const double n = static_cast<double>(w) * h;
        EXPECT_NEAR(sumLength / n, 1.0, 0.03);
        EXPECT_NEAR(sumX / n, 0.0, 0.05);  // a periodic surface tilts every way equally
        EXPECT_NEAR(sumY / n, 0.0, 0.05);
        EXPECT_GT(minZ, 0.0);
    }
}

TEST(ImageFiles, WaterRipplesAreSmallAndDistortionCentresOnHalf) {
    const Bitmap normals = loadBitmap("Models/water_normal3.jpg");
    ASSERT_TRUE(normals);
    const Rgb n = meanColour(normals.get(), 0, FreeImage_GetHeight(normals.get()));
    EXPECT_GT(n.b, 0.93f);

    const Bitmap dudv = loadBitmap("Models/water_dudv3.jpg");
    ASSERT_TRUE(dudv);
    const Rgb d = meanColour(dudv.get(), 0, FreeImage_GetHeight(dudv.get()));
    EXPECT_NEAR(d.r, 0.5f, 0.06f);
    EXPECT_NEAR(d.g, 0.5f, 0.06f);
    EXPECT_LT(d.b, 0.05f);
}

// The walls take the middle half of the sky picture, the horizon a little
// below its centre: sky above (light, blue), sea below (dark), and the
// panorama continues from its right edge to its left.
TEST(ImageFiles, SkyShowsSkyAboveSeaAndWrapsAround) {
    const Bitmap sky = loadBitmap("Models/Above_The_Sea2.jpg");
    ASSERT_TRUE(sky);
    const unsigned h = FreeImage_GetHeight(sky.get()), w = FreeImage_GetWidth(sky.get());
    const Rgb above = meanColour(sky.get(), h * 60 / 100, h * 70 / 100);
    const Rgb below = meanColour(sky.get(), h * 30 / 100, h * 40 / 100);
    EXPECT_GT(above.b, above.r + 0.15f);
    EXPECT_GT(above.r + above.g + above.b, 1.5f * (below.r + below.g + below.b));
    EXPECT_GT(below.b, below.r);

    float seam = 0.0f, step = 0.0f;
    for (unsigned y = h / 4; y < 3 * h / 4; ++y) {
        seam += difference(pixelAt(sky.get(), w - 1, y), pixelAt(sky.get(), 0, y));
        step += difference(pixelAt(sky.get(), w / 8, y), pixelAt(sky.get(), w / 8 + 1, y));
    }
    EXPECT_LT(seam, 2.0f * step + 0.01f * h);
}

}  // namespace
