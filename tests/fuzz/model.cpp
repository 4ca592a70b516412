// Model import on any OBJ text, through the 16-bit indices and the tangent
// frame: an accepted model has one entry a vertex in every list and indices
// that name its vertices.
#include "FuzzCheck.h"
#include "geometry/ModelImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals, tangents, bitangents;
    std::vector<Vector2> uvs;
    std::string reason;
    if (!importModel(data, size, "obj", indices, positions, uvs, normals, reason)) return fuzzCheck(!reason.empty(), "a refused model has a reason"), 0;
    computeTangents(indices, positions, uvs, tangents, bitangents);
    const size_t n = positions.size();
    fuzzCheck(n > 0 && n <= maxMeshVertices && uvs.size() == n && normals.size() == n && tangents.size() == n && bitangents.size() == n,
              "one entry a vertex in every list, at most what 16-bit indices address");
    fuzzCheck(!indices.empty() && indices.size() % 3 == 0, "whole triangles");
    for (uint16_t index : indices) fuzzCheck(index < n, "indices name vertices of the mesh");
    return 0;
}
