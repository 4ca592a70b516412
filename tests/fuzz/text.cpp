// Text geometry on any bytes: the first twelve give the position and the cell
// size (any int), the rest is the line. Six vertices a byte, each cell where
// 64-bit arithmetic puts it, atlas coordinates within a texture of the origin.
#include "FuzzCheck.h"
#include "gpu/TextGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t header[3] = {0, 0, 0};
    std::memcpy(header, data, std::min(size, sizeof header));
    const std::string line = size > sizeof header ? std::string(reinterpret_cast<const char*>(data) + sizeof header, size - sizeof header) : "";
    std::vector<Vector2> positions, uvs;
    buildTextGeometry(line.c_str(), header[0], header[1], header[2], positions, uvs);
    const size_t bytes = std::strlen(line.c_str());
    fuzzCheck(positions.size() == 6 * bytes && uvs.size() == 6 * bytes, "six vertices per byte");
    for (size_t i = 0; i < bytes; ++i)
        fuzzCheck(positions[6 * i].x == float(header[0] + int64_t(i) * header[2]) && positions[6 * i].y == float(header[1] + int64_t(header[2])),
                  "cell i starts i cells right of x, its top edge at y + size");
    for (const Vector2& uv : uvs) fuzzCheck(std::fabs(uv.x) <= 1.0f && std::fabs(uv.y) <= 1.0f, "atlas coordinates within a texture of the origin");
    return 0;
}
