// Text geometry on arbitrary bytes: the first twelve give the position and
// the cell size (any int), the rest is the line. Six vertices per byte,
// cell edges where the integer arithmetic puts them, atlas coordinates
// within one texture width of the origin.
#include "gpu/TextGeometry.h"
#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kHeaderBytes = 3 * sizeof(int32_t);

int32_t intAt(const uint8_t* data, size_t size, size_t index) {
    int32_t value = 0;
    if (size >= (index + 1) * sizeof(int32_t)) std::memcpy(&value, data + index * sizeof(int32_t), sizeof(value));
    return value;
}

bool within(const Vector2& uv, float limit) { return std::fabs(uv.x) <= limit && std::fabs(uv.y) <= limit; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int x = intAt(data, size, 0), y = intAt(data, size, 1), cell = intAt(data, size, 2);
    const std::string line = size > kHeaderBytes ? std::string(reinterpret_cast<const char*>(data) + kHeaderBytes,
                                                               size - kHeaderBytes)
                                                 : std::string();
    std::vector<Vector2> positions, uvs;
    buildTextGeometry(line.c_str(), x, y, cell, positions, uvs);

    const size_t bytes = std::strlen(line.c_str());
    fuzzCheck(positions.size() == 6 * bytes && uvs.size() == 6 * bytes, "six vertices per byte");
    for (size_t i = 0; i < bytes; ++i) {
        const Vector2& topLeft = positions[6 * i];
        fuzzCheck(topLeft.x == static_cast<float>(x + static_cast<long long>(i) * cell), "cell i starts i cells right of x");
        fuzzCheck(topLeft.y == static_cast<float>(y + static_cast<long long>(cell)), "the top edge is y + size");
    }
    for (const Vector2& uv : uvs) fuzzCheck(within(uv, 1.0f), "atlas coordinates within one texture of the origin");
    return 0;
}
