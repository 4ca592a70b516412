// assetgen: writes every data file the game reads, procedurally and the
// same on every run.
//
//   assetgen <data directory>            models, pictures, heightmap and font
//   assetgen --map <png path>            a top-down picture of the island
//   assetgen --icons <directory>         the game's icon: hicolor/NxN/apps/quellmoor.png and quellmoor.ico
//
// The data directory receives Models/ and Font/, which are created if needed.

#include "FontAtlas.h"
#include "Icon.h"
#include "Image.h"
#include "Island.h"
#include "MapPicture.h"
#include "Models.h"
#include "Sky.h"
#include "Textures.h"

#include <FreeImage.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

void writeData(const std::string& dataDir) {
    const std::string models = dataDir + "/Models/", font = dataDir + "/Font/";
    for (const std::string& dir : {models, font}) {
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        if (error) failGeneration("Could not create " + dir + ": " + error.message());
    }

    writeWaterSlab(models + "cube_texture.obj");
    writeSkyBox(models + "cubeMap.obj");
    writePlus(models + "plus.obj");
    writeSphere(models + "sphere3.obj");
    writeTiledSlab(models + "map2.obj");
    writeHeightmap(models + "heightmap2.bmp");
    writeRock(models + "017roche.jpg");
    writeBrickNormals(models + "brick20n.jpg");
    writeSkyPicture(models + "Above_The_Sea2.jpg");
    writeWaterColour(models + "13_DIFFUSE.jpg");
    writeWaterNormals(models + "water_normal3.jpg");
    writeWaterDistortion(models + "water_dudv3.jpg");
    writeCarpet(models + "carpet.jpg");
    writeGround(models + "ground13.jpg", models + "ground13n.jpg");
    writeFontAtlas(font + "flipped_mit_herz.bmp");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 2 && first != "--map" && first != "--icons") {
        writeData(first);
        return 0;
    }
    if (argc == 3 && first == "--map") {
        const std::filesystem::path picture(argv[2]);
        std::error_code error;
        if (picture.has_parent_path()) std::filesystem::create_directories(picture.parent_path(), error);
        if (error) failGeneration("Could not create " + picture.parent_path().string() + ": " + error.message());
        writeMapPicture(picture.string());
        return 0;
    }
    if (argc == 3 && first == "--icons") {
        writeIcons(argv[2]);
        return 0;
    }
    std::fprintf(stderr, "usage: assetgen <data directory>\n       assetgen --map <png path>\n       assetgen --icons <directory>\n");
    return 2;
}
