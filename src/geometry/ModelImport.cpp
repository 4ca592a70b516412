#include "geometry/ModelImport.h"

#include "gpu/FatalError.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>  // on glibc, defines __GLIBC__
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

static_assert(importFlags == (aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                              aiProcess_Triangulate | aiProcess_GenNormals |
                              aiProcess_SortByPType | aiProcess_GenUVCoords),
              "importFlags names these six steps");

namespace {

[[noreturn]] void failModel(const char* path, const std::string& reason) {
    const std::string first = std::string("Failed to load model ") + path;
    if (reason.empty()) fatalError({first});
    fatalError({first, reason});
}

// Why the first mesh of scene cannot be drawn, or empty when it can.
std::string firstMeshProblem(const aiScene& scene) {
    if (scene.mNumMeshes == 0 || scene.mMeshes[0] == nullptr) return "The file contains no mesh";
    const aiMesh& mesh = *scene.mMeshes[0];
    if (mesh.mNumVertices > maxMeshVertices)
        return "Its first mesh has " + std::to_string(mesh.mNumVertices) + " vertices, more than the " +
               std::to_string(maxMeshVertices) + " that 16-bit indices can address";
    if (mesh.mNumFaces == 0) return "Its first mesh has no triangles";
    for (unsigned int f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) return "Its first mesh has faces that are not triangles";
        // Nothing in the import validates indices, and the draw must not read past the vertices.
        for (unsigned int k = 0; k < 3; ++k)
            if (face.mIndices[k] >= mesh.mNumVertices)
                return "Its first mesh has a face that names a vertex it does not have";
    }
    return {};
}

void copyVertices(const aiMesh& mesh, std::vector<Vector3>& positions, std::vector<Vector2>& uvs,
                  std::vector<Vector3>& normals) {
    const unsigned int count = mesh.mNumVertices;
    positions.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        const aiVector3D& p = mesh.mVertices[i];
        positions.push_back({p.x, p.y, p.z});
    }

    // Only channel 0 is used, and only its first two components.
    const aiVector3D* coords = mesh.mTextureCoords[0];
    uvs.reserve(count);
    for (unsigned int i = 0; i < count; ++i)
        uvs.push_back(coords ? Vector2{coords[i].x, coords[i].y} : Vector2{});

    normals.reserve(count);
    for (unsigned int i = 0; i < count; ++i) {
        if (!mesh.mNormals) {
            normals.push_back({});
            continue;
        }
        const aiVector3D& n = mesh.mNormals[i];
        normals.push_back({n.x, n.y, n.z});
    }
}

void copyIndices(const aiMesh& mesh, std::vector<uint16_t>& indices) {
    indices.reserve(3 * static_cast<size_t>(mesh.mNumFaces));
    for (unsigned int f = 0; f < mesh.mNumFaces; ++f)
        for (unsigned int k = 0; k < 3; ++k)
            indices.push_back(static_cast<uint16_t>(mesh.mFaces[f].mIndices[k]));
}

// Assimp's OBJ reader allocates and fills a 16 MiB line buffer for every
// file, however small. Blocks that large normally get fresh pages from the
// kernel each time, and every page costs a fault: about 45 ms a file on a
// small virtual machine. Serving them from the heap, which keeps freed
// pages, lets each import reuse what an earlier one touched.
constexpr int kHeapBlockLimit = 64 << 20;
constexpr int kHeapKeep = 128 << 20;
// Kept for good, 128 MiB of free heap lets the resident size ratchet up to
// every later peak of the driver's allocations, so releaseImportHeap lowers
// the limits. Not to glibc's initial 128 KiB: the software driver allocates
// and frees blocks of a few MiB every frame, which would then be mapped and
// faulted in afresh each time (frames took up to twice as long). 32 MiB is
// the ceiling glibc's own sliding mmap threshold reaches on 64-bit systems.
constexpr int kRunningBlockLimit = 32 << 20;
constexpr int kRunningKeep = 16 << 20;

bool g_importHeapKept = false;  // kHeapBlockLimit and kHeapKeep are in force

// These settings are glibc's own; other C libraries' allocators keep their
// defaults, and the imports are only slower there.
void setHeapLimits(int blockLimit, int keep) {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, blockLimit);
    mallopt(M_TRIM_THRESHOLD, keep);
#else
    (void)blockLimit;
    (void)keep;
#endif
}

void returnFreeHeap() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void keepLargeBlocksOnHeap() {
    if (g_importHeapKept) return;
    setHeapLimits(kHeapBlockLimit, kHeapKeep);
    g_importHeapKept = true;
}

// Fills the lists from the scene's first mesh, or gives false with the
// reason it cannot be drawn.
bool takeFirstMesh(const aiScene& scene, std::vector<uint16_t>& indices, std::vector<Vector3>& positions,
                   std::vector<Vector2>& uvs, std::vector<Vector3>& normals, std::string& reason) {
    reason = firstMeshProblem(scene);
    if (!reason.empty()) return false;
    copyVertices(*scene.mMeshes[0], positions, uvs, normals);
    copyIndices(*scene.mMeshes[0], indices);
    return true;
}

bool isFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

void loadModel(const char* path, std::vector<uint16_t>& indices, std::vector<Vector3>& positions,
               std::vector<Vector2>& uvs, std::vector<Vector3>& normals) {
    keepLargeBlocksOnHeap();
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, importFlags);
    if (!scene) failModel(path, importer.GetErrorString());
    std::string reason;
    if (!takeFirstMesh(*scene, indices, positions, uvs, normals, reason)) failModel(path, reason);
}

void releaseImportHeap() {
    if (!g_importHeapKept) return;
    setHeapLimits(kRunningBlockLimit, kRunningKeep);
    returnFreeHeap();
    g_importHeapKept = false;
}

bool importModel(const void* data, size_t size, const char* formatHint, std::vector<uint16_t>& indices,
                 std::vector<Vector3>& positions, std::vector<Vector2>& uvs, std::vector<Vector3>& normals,
                 std::string& reason) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(data, size, importFlags, formatHint);
    if (!scene) {
        reason = std::string("Assimp: ") + importer.GetErrorString();
        return false;
    }
    return takeFirstMesh(*scene, indices, positions, uvs, normals, reason);
}

void computeTangents(const std::vector<uint16_t>& indices, const std::vector<Vector3>& positions,
                     const std::vector<Vector2>& uvs, std::vector<Vector3>& tangents,
                     std::vector<Vector3>& bitangents) {
    tangents.assign(positions.size(), Vector3{});
    bitangents.assign(positions.size(), Vector3{});
    const size_t vertexCount = std::min(positions.size(), uvs.size());

    for (size_t k = 0; k + 2 < indices.size(); k += 3) {
        const uint16_t a = indices[k], b = indices[k + 1], c = indices[k + 2];
        if (a >= vertexCount || b >= vertexCount || c >= vertexCount) continue;

        const Vector3 e1 = positions[b] - positions[a];
        const Vector3 e2 = positions[c] - positions[a];
        const Vector2 d1 = uvs[b] - uvs[a];
        const Vector2 d2 = uvs[c] - uvs[a];
        const float area = d1.x * d2.y - d1.y * d2.x;
        if (area == 0.0f) continue;

        const float r = 1.0f / area;
        const Vector3 tangent = (e1 * d2.y - e2 * d1.y) * r;
        const Vector3 bitangent = (e2 * d1.x - e1 * d2.x) * r;
        if (!isFinite(tangent) || !isFinite(bitangent)) continue;

        for (uint16_t v : {a, b, c}) {
            tangents[v] = tangents[v] + tangent;
            bitangents[v] = bitangents[v] + bitangent;
        }
    }
}
