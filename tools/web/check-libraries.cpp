// Checks the browser build's libraries, as built, under node: each reads a
// good file, and reports a broken one as the desktop libraries do (the game
// shows those reports), instead of aborting. Assimp and FreeImage throw and
// catch their own errors, and FreeImage's JPEG reader leaves libjpeg with a
// longjmp, so a library built without exception catching, or linked without
// libjpeg, fails here rather than in the page. Built natively against the
// system's libraries, the same program passes too:
//   g++ -std=c++17 tools/web/check-libraries.cpp $(pkg-config --cflags --libs assimp) -lfreeimage
#include <FreeImage.h>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

// An uncompressed BMP of one colour; payload is how many pixel bytes follow
// the header (fewer than width x height claim makes a truncated file).
Bytes bmp(int width, int height, int bits, size_t payload, uint8_t value) {
    Bytes bytes(54 + payload, value);
    std::fill(bytes.begin(), bytes.begin() + 54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, uint32_t(bytes.size()));
    put32(bytes, 10, 54);
    put32(bytes, 14, 40);
    put32(bytes, 18, uint32_t(width));
    put32(bytes, 22, uint32_t(height));
    bytes[26] = 1;
    bytes[28] = uint8_t(bits);
    return bytes;
}

// A JPEG of a grey square, written by FreeImage's own JPEG writer.
Bytes jpeg() {
    FIBITMAP* image = FreeImage_Allocate(16, 16, 24);
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16 * 3; ++x) FreeImage_GetScanLine(image, y)[x] = 200;
    FIMEMORY* memory = FreeImage_OpenMemory();
    FreeImage_SaveToMemory(FIF_JPEG, image, memory, JPEG_QUALITYGOOD);
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    Bytes bytes(data, data + size);
    FreeImage_CloseMemory(memory);
    FreeImage_Unload(image);
    return bytes;
}

std::string reported;  // FreeImage's last message

// Empty when the picture decodes to the expected width and first byte, else what went wrong.
std::string readPicture(FREE_IMAGE_FORMAT format, Bytes bytes, int width, int firstByte) {
    reported.clear();
    FIMEMORY* memory = FreeImage_OpenMemory(bytes.data(), DWORD(bytes.size()));
    FIBITMAP* image = FreeImage_LoadFromMemory(format, memory);
    FreeImage_CloseMemory(memory);
    std::string got = image ? "a " + std::to_string(FreeImage_GetWidth(image)) + " pixel wide picture"
                            : "no picture (" + reported + ")";
    bool expected = image ? int(FreeImage_GetWidth(image)) == width &&
                                 (firstByte < 0 || std::abs(FreeImage_GetBits(image)[0] - firstByte) < 4)
                          : width == 0;
    if (image) FreeImage_Unload(image);
    return expected ? "" : got;
}

std::string readModel(const std::string& text, int vertices, const std::string& error) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(text.data(), text.size(), 0, "obj");
    if (!scene) return error == importer.GetErrorString() ? "" : std::string("error ") + importer.GetErrorString();
    int found = scene->mNumMeshes ? int(scene->mMeshes[0]->mNumVertices) : 0;
    return error.empty() && found == vertices ? "" : std::to_string(found) + " vertices";
}

}  // namespace

int main() {
    FreeImage_SetOutputMessage([](FREE_IMAGE_FORMAT, const char* message) { reported = message; });
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    Bytes jpegFile = jpeg();
    Bytes jpegCut(jpegFile.begin(), jpegFile.begin() + jpegFile.size() / 3);
    Bytes notJpeg = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x02, 0x01, 0x02, 0x03};

    struct Case {
        const char* name;
        std::string problem;
    };
    const Case cases[] = {
        {"BMP, 24-bit", readPicture(FIF_BMP, bmp(2, 2, 24, 16, 90), 2, 90)},
        {"BMP, 8-bit header claiming 60000 x 60000", readPicture(FIF_BMP, bmp(60000, 60000, 8, 16, 0), 0, -1)},
        {"BMP, 24-bit, cut short", readPicture(FIF_BMP, bmp(64, 64, 24, 100, 7), 64, -1)},
        {"JPEG", readPicture(FIF_JPEG, jpegFile, 16, 200)},
        {"JPEG, cut short", readPicture(FIF_JPEG, jpegCut, 0, -1)},
        {"JPEG, broken table", readPicture(FIF_JPEG, notJpeg, 0, -1)},
        {"OBJ triangle", readModel(triangle, 3, "")},
        {"OBJ face naming a missing vertex", readModel("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n", 0,
                                                       "OBJ: vertex index out of range")},
    };
    int failed = 0;
    for (const Case& c : cases) {
        std::printf("%-42s %s\n", c.name, c.problem.empty() ? "ok" : c.problem.c_str());
        failed += !c.problem.empty();
    }
    return failed ? 1 : 0;
}
