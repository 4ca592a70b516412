// The generated pictures under data/: the font atlas and the seamless sky,
// and the generator's determinism; and what the fragment shaders may do
// after a discard. The models and the island's land route: GameTest.cpp
// plays the game with them; broken ones: bad-inputs.txt.
#include "geometry/TerrainGrid.h"
#include "math/SkyProjection.h"
#include "support/Harness.h"

#include <FreeImage.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <regex>

namespace {

std::string dataPath(const std::string& name) { return std::string(QM_DATA_DIR) + "/" + name; }

using Picture = std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)>;
Picture picture(const char* name, FREE_IMAGE_FORMAT format) { return Picture(FreeImage_Load(format, dataPath(name).c_str(), 0), FreeImage_Unload); }

}  // namespace

// The glyph of code c is cell (c % 16, c / 16) of 32 x 32 pixels, rows from the picture's bottom.
TEST(FontAtlas, PrintableCharactersAndTheHeartHaveInkAndGlyphsStandOnTheirHeads) {
    const Picture atlas = picture("Font/flipped_mit_herz.bmp", FIF_BMP);
    ASSERT_TRUE(atlas && FreeImage_GetBPP(atlas.get()) == 24 && FreeImage_GetWidth(atlas.get()) == 512);
    auto ink = [&](int code, int x, int y) {
        const BYTE* p = FreeImage_GetScanLine(atlas.get(), code / 16 * 32 + y) + 3 * (code % 16 * 32 + x);
        return p[0] + p[1] + p[2] > 3 * 128;
    };
    for (int code = 0; code < 256; ++code) {
        int total = 0;
        for (int i = 0; i < 32 * 32; ++i) total += ink(code, i % 32, i / 32);
        EXPECT_TRUE((code > 32 && code < 127) || code == 13 * 16 + 4 ? total > 10 : total == 0) << "code " << code;
    }
    // As a viewer shows the file, "A" stands on its head: one stroke in its lowest inked row, two (its feet) in its highest.
    std::vector<int> strokes;  // of each inked row, from the bottom
    for (int y = 0; y < 32; ++y) {
        int n = 0;
        for (int x = 0; x < 32; ++x) n += ink('A', x, y) && (x == 0 || !ink('A', x - 1, y));
        if (n > 0) strokes.push_back(n);
    }
    EXPECT_TRUE(strokes.size() > 10 && strokes.front() == 1 && strokes.back() == 2);
}

// The sky is read by direction, so directions either side of the picture's
// wrap (along +z) and of its poles must read matching texels: across the
// wrap no more apart than across any other column, at a pole all alike.
// The sun stands where the light at (2, 2, 2) shines from; blue sky begins at the horizon, darker sea below it.
TEST(SkyPicture, SeamlessAtItsWrapAndPolesWithTheSunInTheLight) {
    const Picture sky = picture("Models/Above_The_Sea2.jpg", FIF_JPEG);
    ASSERT_TRUE(sky && FreeImage_GetBPP(sky.get()) == 24);
    const int w = static_cast<int>(FreeImage_GetWidth(sky.get())), h = static_cast<int>(FreeImage_GetHeight(sky.get()));
    auto texel = [&](const Vector3& d) {
        const Vector2 c = skyPictureCoordinate(d);
        const BYTE* p = FreeImage_GetScanLine(sky.get(), std::min(static_cast<int>(c.y * h), h - 1)) + 3 * (static_cast<int>(c.x * w) % w);
        return std::array<int, 3>{p[2], p[1], p[0]};
    };
    auto apart = [&](const Vector3& a, const Vector3& b) {
        const auto ta = texel(a), tb = texel(b);
        return std::abs(ta[0] - tb[0]) + std::abs(ta[1] - tb[1]) + std::abs(ta[2] - tb[2]);
    };
    auto at = [](double azimuth, double elevation) {
        return Vector3{static_cast<float>(std::sin(azimuth) * std::cos(elevation)), static_cast<float>(std::sin(elevation)),
                       static_cast<float>(-std::cos(azimuth) * std::cos(elevation))};
    };
    const double pi = 3.14159265358979, halfTexel = pi / w;
    long acrossWrap = 0, acrossNorth = 0;
    for (int row = 0; row < h; ++row) {
        const double elevation = (row + 0.5) / h * pi - pi / 2;
        acrossWrap += apart(at(pi - halfTexel, elevation), at(-pi + halfTexel, elevation));
        acrossNorth += apart(at(-halfTexel, elevation), at(halfTexel, elevation));
    }
    EXPECT_LT(acrossWrap, 2 * acrossNorth + h) << "the wrap along +z shows a seam";
    for (double azimuth = 0.0; azimuth < pi; azimuth += 0.4)
        for (double pole : {pi / 2 - halfTexel, -pi / 2 + halfTexel})
            EXPECT_LT(apart(at(azimuth, pole), at(azimuth + pi, pole)), 12) << "pole " << pole << " at " << azimuth;
    const auto sun = texel({1.0f, 1.0f, 1.0f}), above = texel({0.0f, 0.15f, -1.0f}), below = texel({0.0f, -0.05f, -1.0f});
    EXPECT_TRUE(std::min({sun[0], sun[1], sun[2]}) > 235 && above[2] > above[0] + 40 && below[2] < above[2]) << "the sun, the blue sky or the sea";
}

// The shadow and reflection passes gather ground more than 0.09 under the
// water (at 1.39) away, so no neighbour of such a vertex may reach the water.
TEST(Heightmap, UnderwaterSlopesStayWithinWhatTheGatheringAssumes) {
    const TerrainGrid grid(dataPath("Models/heightmap2.bmp").c_str(), 0.06f, 2.0f);
    const size_t w = static_cast<size_t>(grid.width);
    float steepest = 0.0f;
    for (size_t i = 0; i + w + 1 < grid.positions.size(); ++i)
        for (size_t j : {i + 1, i + w, i + w + 1})  // right, up and across the cell, within a row
            if ((i + 1) % w && std::min(grid.positions[i].y, grid.positions[j].y) < 1.39f)
                steepest = std::max(steepest, std::fabs(grid.positions[i].y - grid.positions[j].y));
    EXPECT_LT(steepest, 0.09f);
}

// Two runs into fresh directories write the same bytes as the build left in data/.
TEST(Determinism, EveryRunOfTheGeneratorWritesTheSameFiles) {
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
        const ChildResult run = runInChild([&] { return execl(QM_ASSETGEN, QM_ASSETGEN, dir->path.c_str(), nullptr); }, dir->path);
        EXPECT_TRUE(run.status == 0 && run.out + run.err == "") << run.out << run.err;
    }
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first.path)) {
        if (!entry.is_regular_file() || !++files) continue;
        const std::string name = std::filesystem::relative(entry.path(), first.path), bytes = readFile(entry.path());
        EXPECT_TRUE(!bytes.empty() && bytes == readFile(second / name) && bytes == readFile(dataPath(name))) << name;
    }
    EXPECT_EQ(files, 16) << "five models, nine pictures, the heightmap and the font atlas";
}

// Derivatives, and samples that pick their mipmap level from them, read the
// neighbouring fragments, which a discard may have ended: in a shader that
// discards, they all stand in main() before its first discard. textureLod
// and textureGrad name their level and may come anywhere.
TEST(Shaders, DerivativesComeBeforeAnyDiscard) {
    const std::regex implicitLevel(R"(\b(dFdx|dFdy|fwidth|texture|textureOffset|textureProj)\s*\()");
    int discarding = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dataPath("Shader"))) {
        if (entry.path().extension() != ".frag") continue;
        const std::string code = std::regex_replace(readFile(entry.path()), std::regex("//[^\n]*"), "");
        const size_t main = code.find("void main()"), discard = code.find("discard");
        if (discard == std::string::npos) continue;
        ++discarding;
        for (std::sregex_iterator at(code.begin(), code.end(), implicitLevel), end; at != end; ++at) {
            const size_t where = static_cast<size_t>(at->position());
            EXPECT_TRUE(where > main && where < discard) << entry.path().filename() << ": " << at->str() << " on line "
                                                         << std::count(code.begin(), code.begin() + where, '\n') + 1;
        }
    }
    EXPECT_EQ(discarding, 3) << "basic, transparent and normalMapping discard";
}
