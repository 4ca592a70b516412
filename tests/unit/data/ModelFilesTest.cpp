#include "DataFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

namespace {

const char* const kModels[] = {"Models/cube_texture.obj", "Models/cubeMap.obj", "Models/plus.obj",
                               "Models/sphere3.obj", "Models/map2.obj"};

TEST(ModelFiles, EveryModelLoadsAsAnIndexedTriangleList) {
    for (const char* name : kModels) {
        SCOPED_TRACE(name);
        const ModelLists m = loadModelFile(name);
        ASSERT_GT(m.triangleCount(), 0u);
        EXPECT_LE(m.positions.size(), maxMeshVertices);
        EXPECT_EQ(m.indices.size() % 3, 0u);
        ASSERT_EQ(m.uvs.size(), m.positions.size());
        ASSERT_EQ(m.normals.size(), m.positions.size());
        for (const Vector3& n : m.normals) EXPECT_NEAR(length(n), 1.0f, 1e-3f);
        for (size_t t = 0; t < m.triangleCount(); ++t) EXPECT_GT(length(m.faceNormal(t)), 0.0f) << "triangle " << t;
    }
}

TEST(ModelFiles, NormalMappedModelsGetATangentFrameEverywhere) {
    for (const char* name : {"Models/sphere3.obj", "Models/map2.obj"}) {
        SCOPED_TRACE(name);
        const ModelLists m = loadModelFile(name);
        std::vector<Vector3> tangents, bitangents;
        computeTangents(m.indices, m.positions, m.uvs, tangents, bitangents);
        for (size_t i = 0; i < m.positions.size(); ++i) {
            ASSERT_GT(length(tangents[i]), 1e-4f) << "vertex " << i;
            ASSERT_GT(length(bitangents[i]), 1e-4f) << "vertex " << i;
            // Right-handed: tangent x bitangent points along the normal.
            EXPECT_GT(dot(cross(tangents[i], bitangents[i]), m.normals[i]), 0.0f) << "vertex " << i;
        }
    }
}

TEST(ModelFiles, WaterSlabIsTheOutwardUnitCubeWithItsTopAtOne) {
    const ModelLists m = loadModelFile("Models/cube_texture.obj");
    float topArea = 0.0f;
    for (size_t t = 0; t < m.triangleCount(); ++t) {
        const Vector3 n = m.faceNormal(t), c = m.centroid(t);
        EXPECT_GT(dot(n, c - Vector3{0.5f, 0.5f, 0.5f}), 0.0f) << "triangle " << t << " faces inward";
        if (m.corner(t, 0).y == 1.0f && m.corner(t, 1).y == 1.0f && m.corner(t, 2).y == 1.0f) {
            EXPECT_GT(n.y, 0.0f);
            topArea += 0.5f * length(n);
        }
    }
    EXPECT_NEAR(topArea, 1.0f, 1e-5f);
    for (const Vector3& p : m.positions)
        for (float v : {p.x, p.y, p.z}) EXPECT_TRUE(v == 0.0f || v == 1.0f);
    for (const Vector2& uv : m.uvs)
        for (float v : {uv.x, uv.y}) EXPECT_TRUE(v == 0.0f || v == 1.0f);
}

TEST(ModelFiles, SkyBoxFacesItsCentreAndItsWallsFormOnePanorama) {
    const ModelLists m = loadModelFile("Models/cubeMap.obj");
    for (size_t t = 0; t < m.triangleCount(); ++t)
        EXPECT_LT(dot(m.faceNormal(t), m.centroid(t)), 0.0f) << "triangle " << t << " faces away from the centre";
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const Vector3& p = m.positions[i];
        EXPECT_NEAR(std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}), 1.0f, 1e-6f);
        EXPECT_LT(dot(m.normals[i], p), 0.0f);
        EXPECT_TRUE(m.uvs[i].x >= 0.0f && m.uvs[i].x <= 1.0f && m.uvs[i].y >= 0.0f && m.uvs[i].y <= 1.0f);
    }
    // Where two walls meet, both must sample the same picture column (u = 0
    // and u = 1 are the same column, since the picture wraps).
    for (size_t i = 0; i < m.positions.size(); ++i)
        for (size_t j = i + 1; j < m.positions.size(); ++j) {
            const bool walls = std::fabs(m.normals[i].y) < 0.5f && std::fabs(m.normals[j].y) < 0.5f;
            const Vector3 d = m.positions[i] - m.positions[j];
            if (!walls || dot(d, d) != 0.0f) continue;
            const float du = std::fabs(m.uvs[i].x - m.uvs[j].x);
            EXPECT_TRUE(du < 1e-6f || std::fabs(du - 1.0f) < 1e-6f) << "walls part at vertex " << i;
            EXPECT_FLOAT_EQ(m.uvs[i].y, m.uvs[j].y);
        }
}

TEST(ModelFiles, SphereIsAUnitSphereWithOutwardNormalsAndUAroundIt) {
    const ModelLists m = loadModelFile("Models/sphere3.obj");
    std::vector<Vector3> tangents, bitangents;
    computeTangents(m.indices, m.positions, m.uvs, tangents, bitangents);
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const Vector3& p = m.positions[i];
        EXPECT_NEAR(length(p), 1.0f, 1e-5f);
        EXPECT_GT(dot(m.normals[i], p), 0.9999f);
        if (std::fabs(p.y) > 0.99f) continue;
        // u grows eastward around the y axis, so normal maps are not mirrored.
        const Vector3 east = normalize(Vector3{p.z, 0.0f, -p.x});
        EXPECT_GT(dot(normalize(tangents[i]), east), 0.95f) << "vertex " << i;
    }
    for (size_t t = 0; t < m.triangleCount(); ++t)
        EXPECT_GT(dot(m.faceNormal(t), m.centroid(t)), 0.0f) << "triangle " << t << " faces inward";
    // Shared vertices: far fewer vertices than triangle corners.
    EXPECT_LT(m.positions.size(), m.indices.size() / 4);
}

// Welds equal positions, then checks that every edge is used once in each
// direction: the surface is closed and consistently wound.
TEST(ModelFiles, PlusIsClosedAndFacesOutward) {
    const ModelLists m = loadModelFile("Models/plus.obj");
    std::map<std::tuple<long, long, long>, int> welded;
    auto weld = [&](const Vector3& p) {
        const auto key = std::make_tuple(std::lround(p.x * 1e4f), std::lround(p.y * 1e4f), std::lround(p.z * 1e4f));
        return welded.emplace(key, static_cast<int>(welded.size())).first->second;
    };
    std::map<std::pair<int, int>, int> directedEdges;
    float volume = 0.0f;
    for (size_t t = 0; t < m.triangleCount(); ++t) {
        for (int k = 0; k < 3; ++k) ++directedEdges[{weld(m.corner(t, k)), weld(m.corner(t, (k + 1) % 3))}];
        volume += dot(m.corner(t, 0), cross(m.corner(t, 1), m.corner(t, 2))) / 6.0f;
    }
    for (const auto& [edge, count] : directedEdges) {
        EXPECT_EQ(count, 1);
        const auto reverse = directedEdges.find({edge.second, edge.first});
        EXPECT_TRUE(reverse != directedEdges.end() && reverse->second == 1) << "open edge";
    }
    EXPECT_GT(volume, 0.0f);
    float reach = 0.0f;
    for (const Vector3& p : m.positions) reach = std::max({reach, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    EXPECT_NEAR(reach, 1.0f, 0.05f);
}

}  // namespace
