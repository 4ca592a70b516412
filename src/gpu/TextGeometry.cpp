#include "gpu/TextGeometry.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int ATLAS_CELLS_PER_ROW = 16;
constexpr float ATLAS_CELL_SPAN = 1.0f / ATLAS_CELLS_PER_ROW;
constexpr int VERTICES_PER_CELL = 6;

// Corners of one cell in the order of its two triangles: top-left,
// bottom-left, top-right, bottom-right, top-right, bottom-left.
void appendCell(std::vector<Vector2>& out, float left, float right, float top, float bottom) {
    out.push_back({left, top});
    out.push_back({left, bottom});
    out.push_back({right, top});
    out.push_back({right, bottom});
    out.push_back({right, top});
    out.push_back({left, bottom});
}

}  // namespace

void buildTextGeometry(const char* text, int x, int y, int size, std::vector<Vector2>& positions,
                       std::vector<Vector2>& uvs) {
    const size_t length = std::strlen(text);
    positions.clear();
    uvs.clear();
    positions.reserve(length * VERTICES_PER_CELL);
    uvs.reserve(length * VERTICES_PER_CELL);

    for (size_t i = 0; i < length; ++i) {
        // In 64 bits, so that no position or size overflows an int.
        const long long left = x + static_cast<long long>(i) * size;
        appendCell(positions, static_cast<float>(left), static_cast<float>(left + size),
                   static_cast<float>(static_cast<long long>(y) + size), static_cast<float>(y));

        // Read as signed on every platform, whatever the signedness of char.
        const int code = static_cast<std::int8_t>(static_cast<unsigned char>(text[i]));
        const float uLeft = static_cast<float>(code % ATLAS_CELLS_PER_ROW) * ATLAS_CELL_SPAN;
        const float vTop = static_cast<float>(code / ATLAS_CELLS_PER_ROW) * ATLAS_CELL_SPAN;
        appendCell(uvs, uLeft, uLeft + ATLAS_CELL_SPAN, vTop, vTop + ATLAS_CELL_SPAN);
    }
}
