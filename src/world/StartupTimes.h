#pragma once
// Seconds that start-up spends on each kind of resource. initWorld and
// createRenderTargets add to it and nothing reads it in the game; the
// benchmark reports it. Each stage costs two clock reads.

#include <chrono>

struct StartupTimes {
    double shaders = 0.0;   // compiling and linking the programs
    double texts = 0.0;     // HUD text geometry
    double models = 0.0;    // importing the meshes and building the cube
    double textures = 0.0;  // decoding, converting and uploading images
    double terrain = 0.0;   // both heightmap grids, normals and buffers
};

extern StartupTimes startupTimes;

// Adds the time from its construction to its destruction to one field.
class StartupStage {
public:
    explicit StartupStage(double& field) : field_(field), start_(std::chrono::steady_clock::now()) {}
    ~StartupStage() {
        field_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }
    StartupStage(const StartupStage&) = delete;
    StartupStage& operator=(const StartupStage&) = delete;

private:
    double& field_;
    std::chrono::steady_clock::time_point start_;
};
