// The generated files under data/: models, heightmap and font atlas checked
// through the game's own loaders, and the generator's determinism.
#include "geometry/ModelImport.h"
#include "geometry/TerrainGrid.h"
#include "math/SkyProjection.h"
#include "support/GlTestContext.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <queue>
#include <tuple>

static std::string dataPath(const std::string& name) { return std::string(QM_DATA_DIR) + "/" + name; }

struct Model {
    explicit Model(const char* name) { loadModel(dataPath(name).c_str(), indices, positions, uvs, normals); }
    size_t triangles() const { return indices.size() / 3; }
    Vector3 corner(size_t t, int k) const { return positions[indices[3 * t + k]]; }
    // Counter-clockwise face normal, not normalised, and the centroid.
    Vector3 face(size_t t) const { return cross(corner(t, 1) - corner(t, 0), corner(t, 2) - corner(t, 0)); }
    Vector3 centre(size_t t) const { return (corner(t, 0) + corner(t, 1) + corner(t, 2)) * (1.0f / 3.0f); }
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals;
    std::vector<Vector2> uvs;
};

static std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The sky box is seen from inside; the water slab, sphere and plus from outside.
TEST(ModelFiles, EveryModelLoadsAndFacesTheWayItIsSeen) {
    for (const char* name : {"Models/cube_texture.obj", "Models/plus.obj", "Models/map2.obj"})
        EXPECT_TRUE(Model(name).triangles() > 0 && Model(name).positions.size() <= maxMeshVertices) << name;
    const Model sky("Models/cubeMap.obj"), slab("Models/cube_texture.obj"), sphere("Models/sphere3.obj");
    for (size_t t = 0; t < sky.triangles(); ++t) EXPECT_LT(dot(sky.face(t), sky.centre(t)), 0.0f) << t;
    float topArea = 0.0f;
    for (size_t t = 0; t < slab.triangles(); ++t) {
        EXPECT_GT(dot(slab.face(t), slab.centre(t) - Vector3{0.5f, 0.5f, 0.5f}), 0.0f) << t;
        if (slab.corner(t, 0).y == 1.0f && slab.corner(t, 1).y == 1.0f && slab.corner(t, 2).y == 1.0f) topArea += 0.5f * slab.face(t).y;
    }
    EXPECT_NEAR(topArea, 1.0f, 1e-5f) << "the top face at y = 1 faces up";
    for (size_t i = 0; i < sphere.positions.size(); ++i) {
        EXPECT_NEAR(length(sphere.normals[i]), 1.0f, 1e-3f);
        EXPECT_GT(dot(sphere.normals[i], sphere.positions[i]), 0.999f) << i;
    }
    for (size_t t = 0; t < sphere.triangles(); ++t) EXPECT_GT(dot(sphere.face(t), sphere.centre(t)), 0.0f) << t;
}

// The sphere's faces share vertices, so its vertex list is not in triangle triples.
TEST(ModelFiles, IndexedSphereGetsTangentsAlongItsSurface) {
    const Model m("Models/sphere3.obj");
    ASSERT_LT(m.positions.size(), m.indices.size() / 4);
    std::vector<Vector3> tangents, bitangents;
    computeTangents(m.indices, m.positions, m.uvs, tangents, bitangents);
    for (size_t i = 0; i < m.positions.size(); ++i) {
        ASSERT_GT(length(tangents[i]), 1e-4f) << i;
        EXPECT_NEAR(dot(normalize(tangents[i]), m.normals[i]), 0.0f, 0.1f) << i;
    }
}

// Every edge is used once in each direction: the surface is closed and consistently wound.
TEST(ModelFiles, PlusIsClosedAndFacesOutward) {
    const Model m("Models/plus.obj");
    using Key = std::tuple<long, long, long>;  // a corner's position to 1e-4, so that equal corners meet
    auto key = [](const Vector3& p) { return Key{std::lround(p.x * 1e4f), std::lround(p.y * 1e4f), std::lround(p.z * 1e4f)}; };
    std::map<std::pair<Key, Key>, int> edges;
    float volume = 0.0f;
    for (size_t t = 0; t < m.triangles(); ++t) {
        for (int k = 0; k < 3; ++k) ++edges[{key(m.corner(t, k)), key(m.corner(t, (k + 1) % 3))}];
        volume += dot(m.corner(t, 0), cross(m.corner(t, 1), m.corner(t, 2))) / 6.0f;
    }
    for (const auto& [edge, count] : edges) EXPECT_TRUE(count == 1 && edges.count({edge.second, edge.first}) == 1) << "open edge";
    EXPECT_GT(volume, 0.0f);
}

// A life is lost where the terrain lies below 1.3; the margin of 0.05 keeps clear of it.
TEST(Heightmap, StartAndGoalAreLandLinkedByALandRouteAndTheStraightLineCrossesWater) {
    const TerrainGrid grid(dataPath("Models/heightmap2.bmp").c_str(), 0.06f, 2.0f);
    EXPECT_TRUE(grid.width == 200 && grid.depth == 188);
    auto height = [&](float x, float z) { return grid.groundHeightAt(Vector3{x, 0.0f, z}); };
    float water = 0.0f;
    for (float x = -4.0f; x <= 4.0f; x += 0.01f) water += height(x, 0.0f) < 1.25f ? 0.01f : 0.0f;
    EXPECT_GE(water, 1.0f);

    // Breadth-first over the field's grid points (|x| <= 5.8, |z| <= 5.5), on land only, from the start (-5.5, 0).
    const float step = 0.06f;
    const int columns = 194, rows = 184;
    auto land = [&](int c, int r) { return c >= 0 && r >= 0 && c < columns && r < rows && height(-5.8f + c * step, -5.5f + r * step) >= 1.35f; };
    std::vector<char> seen(columns * rows, 0);
    std::queue<std::pair<int, int>> open;
    open.push({5, 92});
    ASSERT_TRUE(land(5, 92));
    int reached = 0;
    for (; !open.empty(); open.pop()) {
        const auto [c, r] = open.front();
        reached = std::max(reached, c);
        for (const auto& [nc, nr] : {std::pair{c + 1, r}, {c - 1, r}, {c, r + 1}, {c, r - 1}})
            if (land(nc, nr) && !seen[nr * columns + nc]) seen[nr * columns + nc] = 1, open.push({nc, nr});
    }
    EXPECT_GT(-5.8f + reached * step, 5.0f) << "no land route to the winning line";

    // The shadow and reflection passes gather ground deeper than 0.09 under the
    // water (at 1.39) away, so no neighbour of such a vertex may reach the water.
    float steepest = 0.0f;
    for (int r = 0; r + 1 < grid.depth; ++r)
        for (int c = 0; c + 1 < grid.width; ++c)
            for (const auto& [a, b] : {std::pair{r * grid.width + c, r * grid.width + c + 1}, {r * grid.width + c, (r + 1) * grid.width + c},
                                       {r * grid.width + c, (r + 1) * grid.width + c + 1}, {r * grid.width + c + 1, (r + 1) * grid.width + c}}) {
                const float ya = grid.positions[a].y, yb = grid.positions[b].y;
                if (std::min(ya, yb) < 1.39f) steepest = std::max(steepest, std::fabs(ya - yb));
            }
    EXPECT_LT(steepest, 0.09f);
}

// The glyph of code c is cell (c % 16, c / 16), rows counted from the picture's bottom edge.
TEST(FontAtlas, PrintableCharactersAndTheHeartHaveInkAndGlyphsAreUpsideDown) {
    std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)> atlas(FreeImage_Load(FIF_BMP, dataPath("Font/flipped_mit_herz.bmp").c_str(), 0), FreeImage_Unload);
    ASSERT_TRUE(atlas && FreeImage_GetBPP(atlas.get()) == 24 && FreeImage_GetWidth(atlas.get()) == 512);
    auto ink = [&](int code, int x, int y) {
        const BYTE* p = FreeImage_GetScanLine(atlas.get(), code / 16 * 32 + y) + 3 * (code % 16 * 32 + x);
        return p[0] + p[1] + p[2] > 3 * 128;
    };
    auto rowInk = [&](int code, int y) {
        int n = 0;
        for (int x = 0; x < 32; ++x) n += ink(code, x, y);
        return n;
    };
    auto leftmostRun = [&](int code, int y) {
        int x = 0, run = 0;
        while (x < 32 && !ink(code, x, y)) ++x;
        while (x + run < 32 && ink(code, x + run, y)) ++run;
        return run;
    };
    for (int code = 0; code < 256; ++code) {
        int total = 0;
        for (int y = 0; y < 32; ++y) total += rowInk(code, y);
        EXPECT_TRUE((code > 32 && code < 127) || code == 13 * 16 + 4 ? total > 10 : total == 0) << "code " << code;
    }
    // As a viewer shows the file, the crossbar of "A" (its widest inner run) lies in the glyph's upper half.
    int first = -1, last = 0, crossbar = 0;
    for (int y = 0; y < 32; ++y)
        if (rowInk('A', y) > 0) first = first < 0 ? y : first, last = y;
    for (int y = first + 2; y + 2 < last; ++y)
        if (leftmostRun('A', y) > leftmostRun('A', crossbar)) crossbar = y;
    EXPECT_GT(crossbar, (first + last) / 2);
}

// The sky is read by direction, so directions either side of the picture's
// wrap (along +z) and of its poles must read matching texels: across the
// wrap no more apart than across any other column, at a pole all alike.
// The sun stands where the light at (2, 2, 2) shines from.
TEST(SkyPicture, SeamlessAtItsWrapAndPolesWithTheSunInTheLight) {
    std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)> sky(FreeImage_Load(FIF_JPEG, dataPath("Models/Above_The_Sea2.jpg").c_str(), 0), FreeImage_Unload);
    ASSERT_TRUE(sky && FreeImage_GetBPP(sky.get()) == 24);
    const int w = static_cast<int>(FreeImage_GetWidth(sky.get())), h = static_cast<int>(FreeImage_GetHeight(sky.get()));
    auto texel = [&](const Vector3& d) {
        const Vector2 c = skyPictureCoordinate(d);
        const int x = static_cast<int>(c.x * w) % w, y = std::min(static_cast<int>(c.y * h), h - 1);
        const BYTE* p = FreeImage_GetScanLine(sky.get(), y) + 3 * x;
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
    const auto sun = texel({1.0f, 1.0f, 1.0f});
    EXPECT_GT(std::min({sun[0], sun[1], sun[2]}), 235) << "no sun toward the light";
}

// Two runs into fresh directories write the same bytes as the build left in data/.
TEST(Determinism, EveryRunOfTheGeneratorWritesTheSameFiles) {
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
        const ChildResult run = runChild({QM_ASSETGEN, dir->path}, dir->path, 120.0);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out + run.err, "");
    }
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first.path)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = std::filesystem::relative(entry.path(), first.path), a = contents(entry.path());
        EXPECT_TRUE(!a.empty() && a == contents(second / name) && a == contents(dataPath(name))) << name;
        ++files;
    }
    EXPECT_EQ(files, 16) << "five models, nine pictures, the heightmap and the font atlas";
}
