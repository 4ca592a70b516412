// Model import on arbitrary OBJ text, through the 16-bit index narrowing and
// the tangent frame: an accepted model has one entry per vertex in every
// list and indices that name its vertices.
#include "geometry/ModelImport.h"
#include "FuzzCheck.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint16_t> indices;
    std::vector<Vector3> positions, normals, tangents, bitangents;
    std::vector<Vector2> uvs;
    std::string reason;
    if (!importModel(data, size, "obj", indices, positions, uvs, normals, reason)) {
        fuzzCheck(!reason.empty(), "a refused model has a reason");
        return 0;
    }
    fuzzCheck(!positions.empty() && positions.size() <= maxMeshVertices, "an accepted mesh fits 16-bit indices");
    fuzzCheck(uvs.size() == positions.size() && normals.size() == positions.size(), "one uv and normal per vertex");
    fuzzCheck(!indices.empty() && indices.size() % 3 == 0, "whole triangles");
    for (uint16_t index : indices) fuzzCheck(index < positions.size(), "indices name vertices of the mesh");

    computeTangents(indices, positions, uvs, tangents, bitangents);
    fuzzCheck(tangents.size() == positions.size() && bitangents.size() == positions.size(),
              "one tangent and bitangent per vertex");
    return 0;
}
