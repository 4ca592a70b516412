// Loads the model file named by the first argument; a usable file prints
// "loaded" and exits with 0, anything else ends through fatalError.
#include "geometry/ModelImport.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals;
    std::vector<Vector2> uvs;
    loadModel(argv[1], indices, positions, uvs, normals);
    std::puts("loaded");
    return 0;
}
