#pragma once
// The drawable ground: a TerrainGrid with its positions, normals, uvs and
// indices uploaded, and a vertex array feeding "position", "normal" and
// "uvs" (each only where the program declares it). Not a SceneObject: the
// drawing code uploads model, binds vao and draws indices.size() unsigned
// shorts itself. The program is borrowed for the attribute lookup and never
// deleted.

#include "geometry/TerrainGrid.h"
#include "gpu/ShaderProgram.h"

#include "platform/GL.h"

class Terrain : public TerrainGrid {
public:
    // Ends the process when the heightmap cannot be used (TerrainGrid).
    Terrain(const Matrix4& model, ShaderProgram* program, float spacing, float heightScale,
            const char* heightmapPath = defaultHeightmapPath);
    // Deletes positionBuffer, normalBuffer, uvBuffer, indexBuffer, then vao.
    ~Terrain();
    Terrain(const Terrain&) = delete;
    Terrain& operator=(const Terrain&) = delete;

    Matrix4 model;
    GLuint vao = 0;
    GLuint positionBuffer = 0;
    GLuint normalBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint uvBuffer = 0;
    ShaderProgram* program = nullptr;
};

// The terrain is no scene object: its users upload "M" themselves and then
// draw its grid with this, one indexed draw between vertex-array binds.
void drawTerrainGrid(const Terrain& terrain);
