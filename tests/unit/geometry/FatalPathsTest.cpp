#include "geometry/ModelImport.h"
#include "support/GlTestContext.h"
#include "unit/geometry/GeometryTestFiles.h"

#include <assimp/Importer.hpp>
#include <gtest/gtest.h>

#include <fstream>

namespace {

void expectFatal(const std::string& probe, const TempDir& dir, const std::string& file, const std::string& reason) {
    const ChildResult result = runChild({probePath(probe), file}, dir.path);
    const std::string what = probe == "geometry_load_model" ? "model " : "heightmap ";
    EXPECT_EQ(result.out, "Failed to load " + what + file + "\n" + reason + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 255);
}

}  // namespace

TEST(FatalPaths, ModelFilesWithoutAUsableFirstMesh) {
    TempDir dir;
    Assimp::Importer importer;
    ASSERT_EQ(importer.ReadFile("missing.obj", importFlags), nullptr);  // none in the test's directory either
    expectFatal("geometry_load_model", dir, "missing.obj", importer.GetErrorString());

    writeTextFile(dir / "comments.obj", "# a model file that holds nothing but this comment\n");
    expectFatal("geometry_load_model", dir, "comments.obj", "The file contains no mesh");
    writeTextFile(dir / "points.obj", "v 0 0 0\nv 1 0 0\n");
    expectFatal("geometry_load_model", dir, "points.obj", "Its first mesh has no triangles");
    writeTextFile(dir / "lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n");
    expectFatal("geometry_load_model", dir, "lines.obj", "Its first mesh has faces that are not triangles");

    std::ofstream big(dir / "big.obj");  // 21846 separate triangles: 65538 vertices
    for (int t = 0; t < 21846; ++t) big << "v " << t << " 0 0\nv " << t << " 1 0\nv " << t << " 0 1\n";
    for (int t = 0; t < 21846; ++t) big << "f " << 3 * t + 1 << ' ' << 3 * t + 2 << ' ' << 3 * t + 3 << "\n";
    big.close();
    expectFatal("geometry_load_model", dir, "big.obj",
                "Its first mesh has 65538 vertices, more than the 65536 that 16-bit indices can address");
}

TEST(FatalPaths, HeightmapsThatAreNotSmallEightOrTwentyFourBitImages) {
    TempDir dir;
    expectFatal("geometry_load_heightmap", dir, "missing.bmp", "The file cannot be opened");
    writeTextFile(dir / "notes.bmp", "not really a bitmap\n");
    expectFatal("geometry_load_heightmap", dir, "notes.bmp", "FreeImage could not decode it");
    writeBitmap(dir / "rgba.bmp", 4, 4, 32, [](int, int) { return 9; });
    expectFatal("geometry_load_heightmap", dir, "rgba.bmp", "It has 32 bits per pixel; only 8 and 24 are supported");
    writeBitmap(dir / "large.bmp", 257, 256, 8, [](int, int) { return 9; });
    expectFatal("geometry_load_heightmap", dir, "large.bmp",
                "It has 65792 pixels, more than the 65536 that 16-bit indices can address");

    writeBitmap(dir / "largest.bmp", 256, 256, 8, [](int, int) { return 9; });
    const ChildResult fits = runChild({probePath("geometry_load_heightmap"), "largest.bmp"}, dir.path);
    EXPECT_EQ(fits.out, "loaded 256x256\n");
    EXPECT_EQ(fits.status, 0);
}
