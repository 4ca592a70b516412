#pragma once
// One measured program of the benchmark, run in a process of its own so that
// its start-up is counted from a fresh process: the clear-and-swap floor, the
// one-pass textured reference, the game's frame along a fixed camera path, or
// the design's floor: that same frame with each of the three lit fragment
// shaders cut to one read of a texture it already samples.
// A run writes its result to stdout as "key value" lines; the report reads
// them back.

#include "app/RenderPasses.h"
#include "world/StartupTimes.h"

#include <cstdio>
#include <string>
#include <vector>

enum class BenchProgram { Floor, OnePass, Game, DesignFloor };
constexpr int kBenchProgramCount = 4;

struct RunSettings {
    BenchProgram program = BenchProgram::Floor;
    int width = 800;
    int height = 600;
    int frames = 120;
    long long spawnNanos = 0;  // steady clock when the parent started the process
};

struct RunResult {
    std::string renderer;                  // GL_RENDERER of the context
    double contextSeconds = 0.0;           // spawn to a current context
    double startupSeconds = 0.0;           // spawn to the first presented frame
    StartupTimes stages;                   // the game's resource building
    std::vector<double> frameSeconds;      // swap to swap, after the warm-up
    double passSeconds[kFramePassCount] = {};  // timer-query mean per frame
    double logicSeconds = 0.0;             // our GL-free frame logic, mean per frame
    double mainThreadSeconds = 0.0;        // CPU of the drawing thread, mean per frame
    long peakResidentKiB = 0;
};

// Runs the program in this process; false when no window or context opened.
bool runProgram(const RunSettings& settings, RunResult& result);

void writeResult(std::FILE* out, const RunResult& result);
// Reads what writeResult wrote; false when a field is missing.
bool readResult(const std::string& text, RunResult& result);

long long steadyNanos();

struct GLFWwindow;
// A 3.3 core window of the settings' size with its context current and no
// swap interval, or null; the caller terminates GLFW either way.
GLFWwindow* openBenchWindow(const RunSettings& settings);
