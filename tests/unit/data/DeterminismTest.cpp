#include "DataFiles.h"

#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const char* const kGenerated[] = {
    "Models/cube_texture.obj", "Models/cubeMap.obj",      "Models/plus.obj",          "Models/sphere3.obj",
    "Models/map2.obj",         "Models/heightmap2.bmp",   "Models/017roche.jpg",      "Models/brick20n.jpg",
    "Models/Above_The_Sea2.jpg", "Models/13_DIFFUSE.jpg", "Models/water_normal3.jpg", "Models/water_dudv3.jpg",
    "Models/carpet.jpg",       "Models/ground13.jpg",     "Models/ground13n.jpg",     "Font/flipped_mit_herz.bmp"};

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Two runs into fresh directories write the same bytes, and the same bytes
// as the build left in the data directory.
TEST(Determinism, EveryRunOfTheGeneratorWritesTheSameFiles) {
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
        const ChildResult run = runChild({QM_ASSETGEN, dir->path}, dir->path, 120.0);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "");
    }
    for (const char* name : kGenerated) {
        SCOPED_TRACE(name);
        const std::string a = contents(first / name);
        ASSERT_FALSE(a.empty());
        EXPECT_TRUE(a == contents(second / name));
        EXPECT_TRUE(a == contents(dataPath(name))) << "the data directory is out of date";
    }
}

}  // namespace
