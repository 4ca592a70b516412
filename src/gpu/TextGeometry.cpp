#include "gpu/TextGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int ATLAS_CELLS_PER_ROW = 16;
constexpr float ATLAS_CELL_SPAN = 1.0f / ATLAS_CELLS_PER_ROW;
constexpr int VERTICES_PER_CELL = 6;
constexpr int RIM_COPIES = 8;
constexpr float RIM_WIDTH_PER_SIZE = 1.0f / 16.0f;
constexpr float MIN_RIM_WIDTH = 1.5f;
constexpr float RIM_TURN = 0.7853982f;  // radians between neighbouring copies

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

float rimWidth(int size) { return std::max(MIN_RIM_WIDTH, static_cast<float>(size) * RIM_WIDTH_PER_SIZE); }

void appendRim(int size, std::vector<Vector2>& positions, std::vector<Vector2>& uvs) {
    const size_t count = positions.size();
    const float width = rimWidth(size);
    positions.reserve(count * (RIM_COPIES + 1));
    uvs.reserve(count * (RIM_COPIES + 1));
    for (int k = 0; k < RIM_COPIES; ++k) {
        const float dx = width * std::cos(RIM_TURN * static_cast<float>(k)), dy = width * std::sin(RIM_TURN * static_cast<float>(k));
        for (size_t i = 0; i < count; ++i) {
            positions.push_back({positions[i].x + dx, positions[i].y + dy});
            uvs.push_back(uvs[i]);
        }
    }
}
