// The frame benchmark. Runs four programs, each in a fresh process at the
// same window size: a clear-and-swap loop (the floor), one full-screen pass
// of a plain textured shader (the reference for one pixel's honest work),
// the game's own frame along a fixed camera path, and the design's floor:
// the same frame and passes with the lit fragment shaders cut to one
// texture read each, which is what the fixed passes cost before any shading.
// Prints one table.
//
// Usage, from data/ under an X server:
//   quellmoor_bench [WIDTH HEIGHT [FRAMES]]       the whole table
//   quellmoor_bench --run PROGRAM W H FRAMES T0  one run (started by the above)
#include "BenchRun.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kDefaultFrames = 120;
const char* const kProgramNames[kBenchProgramCount] = {"floor", "onepass", "game", "designfloor"};
const char* const kPassNames[kFramePassCount] = {"shadow", "reflection", "final scene", "water", "HUD"};

double milliseconds(double seconds) { return 1000.0 * seconds; }

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

double median(const std::vector<double>& values) { return percentile(values, 0.5); }

// Starts this executable for one run and collects what it prints.
bool spawnRun(BenchProgram program, int width, int height, int frames, RunResult& result) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);

    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return false;
    const std::string args[] = {self, "--run", kProgramNames[static_cast<int>(program)],
                                std::to_string(width), std::to_string(height), std::to_string(frames),
                                std::to_string(steadyNanos())};
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int failed = posix_spawn(&child, self, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t n; !failed && (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(n));
    close(pipeEnds[0]);
    int status = 0;
    if (failed || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    return readResult(text, result);
}

void printProgramRow(const char* name, const RunResult& r) {
    const double med = median(r.frameSeconds);
    std::printf("| %-22s | %9.2f | %13.2f | %7.1f | %11.0f | %12.1f |\n", name, milliseconds(med),
                milliseconds(percentile(r.frameSeconds, 0.95)), 1.0 / med, milliseconds(r.startupSeconds),
                static_cast<double>(r.peakResidentKiB) / 1024.0);
}

void printTable(int width, int height, int frames, const RunResult runs[kBenchProgramCount]) {
    const RunResult& floor = runs[0];
    const RunResult& onePass = runs[1];
    const RunResult& game = runs[2];
    const RunResult& designFloor = runs[3];
    const double frame = median(game.frameSeconds);
    std::printf("\nQuellmoor frame benchmark: %d x %d, %d frames after warm-up, renderer %s\n\n", width, height,
                frames, game.renderer.c_str());
    std::printf("| program                | median ms | slowest 5%% ms |     FPS | start-up ms | peak RSS MiB |\n");
    std::printf("|------------------------|----------:|--------------:|--------:|------------:|-------------:|\n");
    printProgramRow("clear and swap (floor)", floor);
    printProgramRow("one textured pass", onePass);
    printProgramRow("game frame", game);
    printProgramRow("design floor", designFloor);
    std::printf("\n| ratio                           | value |\n|---------------------------------|------:|\n");
    std::printf("| game frame / floor              | %5.1f |\n", frame / median(floor.frameSeconds));
    std::printf("| game frame / one textured pass  | %5.2f |\n", frame / median(onePass.frameSeconds));
    std::printf("| design floor / one textured pass | %4.2f |\n", median(designFloor.frameSeconds) / median(onePass.frameSeconds));
    std::printf("| game frame / design floor       | %5.2f |\n", frame / median(designFloor.frameSeconds));
    std::printf("| game start-up / floor start-up  | %5.2f |\n", game.startupSeconds / floor.startupSeconds);

    std::printf("\n| game, per frame                 |     ms | share of frame |\n");
    std::printf("|---------------------------------|-------:|---------------:|\n");
    for (int p = 0; p < kFramePassCount; ++p)
        std::printf("| pass: %-25s | %6.2f | %13.1f%% |\n", kPassNames[p], milliseconds(game.passSeconds[p]),
                    100.0 * game.passSeconds[p] / frame);
    std::printf("| our CPU: frame logic, no GL     | %6.3f | %13.2f%% |\n", milliseconds(game.logicSeconds),
                100.0 * game.logicSeconds / frame);
    std::printf("| drawing thread CPU (with GL)    | %6.2f | %13.1f%% |\n", milliseconds(game.mainThreadSeconds),
                100.0 * game.mainThreadSeconds / frame);

    std::printf("\n| design floor, per frame         |     ms |\n|---------------------------------|-------:|\n");
    for (int p = 0; p < kFramePassCount; ++p)
        std::printf("| pass: %-25s | %6.2f |\n", kPassNames[p], milliseconds(designFloor.passSeconds[p]));

    const StartupTimes& s = game.stages;
    const double built = s.shaders + s.texts + s.models + s.textures + s.terrain;
    std::printf("\n| game start-up                   |     ms |\n|---------------------------------|-------:|\n");
    std::printf("| process start to GL context     | %6.1f |\n", milliseconds(game.contextSeconds));
    std::printf("| shaders                         | %6.1f |\n", milliseconds(s.shaders));
    std::printf("| models                          | %6.1f |\n", milliseconds(s.models));
    std::printf("| textures                        | %6.1f |\n", milliseconds(s.textures));
    std::printf("| terrain (both grids)            | %6.1f |\n", milliseconds(s.terrain));
    std::printf("| HUD texts                       | %6.1f |\n", milliseconds(s.texts));
    std::printf("| first frame and the rest        | %6.1f |\n",
                milliseconds(game.startupSeconds - game.contextSeconds - built));
    std::printf("| total, to the first frame       | %6.1f |\n", milliseconds(game.startupSeconds));
    std::printf("| floor program, to its first frame | %4.1f |\n", milliseconds(floor.startupSeconds));
}

int runOne(int argc, char** argv) {
    if (argc != 7) return 2;
    RunSettings settings;
    const char* name = argv[2];
    for (int p = 0; p < kBenchProgramCount; ++p)
        if (std::strcmp(name, kProgramNames[p]) == 0) settings.program = static_cast<BenchProgram>(p);
    settings.width = std::atoi(argv[3]);
    settings.height = std::atoi(argv[4]);
    settings.frames = std::atoi(argv[5]);
    settings.spawnNanos = std::atoll(argv[6]);
    RunResult result;
    if (!runProgram(settings, result)) return 1;
    writeResult(stdout, result);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--run") == 0) return runOne(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 800;
    const int height = argc > 2 ? std::atoi(argv[2]) : 600;
    const int frames = argc > 3 ? std::atoi(argv[3]) : kDefaultFrames;
    if (width < 16 || height < 16 || frames < 1) {
        std::fprintf(stderr, "usage: quellmoor_bench [WIDTH HEIGHT [FRAMES]]\n");
        return 2;
    }
    RunResult runs[kBenchProgramCount];
    for (int p = 0; p < kBenchProgramCount; ++p) {
        if (!spawnRun(static_cast<BenchProgram>(p), width, height, frames, runs[p])) {
            std::fprintf(stderr, "quellmoor_bench: the %s run failed\n", kProgramNames[p]);
            return 1;
        }
    }
    printTable(width, height, frames, runs);
    return 0;
}
