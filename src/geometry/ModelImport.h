#pragma once
// Reading a model file into the vertex lists of a Mesh, and deriving its
// tangent frame; nothing here touches GL.
//
// loadModel keeps the first mesh of the file only. Afterwards positions,
// uvs and normals hold one entry per vertex (uvs are (0, 0) where the file
// has no texture coordinates, normals (0, 0, 0) where it has none) and
// indices three per triangle, every one below positions.size(). A file that
// cannot be used ends the process with a message naming it.

#include "math/Vector.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Triangulate, join identical vertices, generate missing normals and UVs,
// calculate tangent space, sort by primitive type (Assimp's post-processing
// flags).
constexpr unsigned int importFlags = 0x4802B;

// Most vertices a mesh may have, since its indices are 16-bit.
constexpr size_t maxMeshVertices = 65536;

// Fills the four lists, which must come in empty, from the first mesh of path.
// The first call makes the process's allocator keep blocks of up to 64 MiB
// on the heap (see the source), which speeds up every later import.
void loadModel(const char* path, std::vector<uint16_t>& indices, std::vector<Vector3>& positions,
               std::vector<Vector2>& uvs, std::vector<Vector3>& normals);
// Ends that once start-up is over: the allocator keeps at most 16 MiB of
// free heap from then on and returns the rest; a no-op when nothing is kept.
// A later loadModel starts over.
void releaseImportHeap();

// The same from a file's bytes in memory (formatHint its extension, such as
// "obj"), without ending the process: false, with a reason, for a model
// that loadModel would refuse.
bool importModel(const void* data, size_t size, const char* formatHint, std::vector<uint16_t>& indices,
                 std::vector<Vector3>& positions, std::vector<Vector2>& uvs, std::vector<Vector3>& normals,
                 std::string& reason);

// One tangent and one bitangent per vertex: every triangle of indices adds
// its own tangent and bitangent, neither normalised nor orthogonalised, to
// each of its three corners. A triangle whose texture coordinates have no
// area adds nothing, and a vertex that no triangle touches gets (0, 0, 0).
// tangents and bitangents are replaced.
void computeTangents(const std::vector<uint16_t>& indices, const std::vector<Vector3>& positions,
                     const std::vector<Vector2>& uvs, std::vector<Vector3>& tangents,
                     std::vector<Vector3>& bitangents);
