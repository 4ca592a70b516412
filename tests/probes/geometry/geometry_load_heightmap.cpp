// Builds a terrain grid from the heightmap named by the first argument; a
// usable file prints "loaded" and exits with 0, anything else ends through
// fatalError.
#include "geometry/TerrainGrid.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const TerrainGrid grid(argv[1], 0.06f, 2.0f);
    std::printf("loaded %dx%d\n", grid.width, grid.depth);
    return 0;
}
