#include "BenchRun.h"

#include "app/Camera.h"
#include "app/GameRules.h"
#include "app/Game.h"
#include "app/Hud.h"
#include "geometry/ModelImport.h"
#include "geometry/Terrain.h"
#include "world/SceneDrawing.h"
#include "world/World.h"

#include "platform/GL.h"
#include "platform/Platform.h"
#include <GLFW/glfw3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cmath>
#include <ctime>
#include <map>
#include <sstream>
#include <vector>

namespace {

constexpr int kWarmUpFrames = 3;        // lazily compiled shader variants settle here
constexpr float kWalkSeconds = 2.6f;    // game time the walk covers, whatever the frame count
constexpr float kLookSeconds = 4.0f;    // game time of each look, for the plus and the light
constexpr float kHalfPi = 1.5707963f;
constexpr int kReferenceTextureSide = 512;

const char* kReferenceVertexShader = R"(#version 330 core
in vec3 position;
out vec2 uv;
void main() {
    uv = position.xy * 0.5 + 0.5;
    gl_Position = vec4(position, 1.0);
}
)";

// One texture read per pixel, at about one texel per pixel: honest work for
// a pixel, without lighting.
const char* kReferenceFragmentShader = R"(#version 330 core
in vec2 uv;
uniform sampler2D image;
uniform vec2 repeat;
out vec4 fragColor;
void main() { fragColor = texture(image, uv * repeat); }
)";

// The design's floor: the lit fragment shaders each reduced to one read of a
// texture they already sample, from the inputs their vertex shaders give.
// The water keeps the alpha of its clearest look.
const char* const kFloorOpaqueShader = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main() { fragColor = texture(colorTexture, texCoord); }
)";
const char* const kFloorWaterShader = R"(#version 330 core
in vec2 texCoord;
uniform sampler2D colorTexture;
out vec4 fragColor;
void main() { fragColor = vec4(texture(colorTexture, texCoord).rgb, 0.6); }
)";
const std::pair<const char*, const char*> kFloorFragmentShaders[] = {
    {"basic.frag", kFloorOpaqueShader}, {"normalMapping.frag", kFloorOpaqueShader}, {"transparent.frag", kFloorWaterShader}};

const float kQuad[18] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};

double secondsBetween(long long fromNanos, long long toNanos) { return 1e-9 * static_cast<double>(toNanos - fromNanos); }

double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}


// Swap-to-swap times of frames after the warm-up; the first swap ends start-up.
class FrameTimer {
public:
    FrameTimer(const RunSettings& settings, RunResult& result) : settings_(settings), result_(result) {}

    void presented(int frame) {
        const long long now = steadyNanos();
        if (frame == 0) result_.startupSeconds = secondsBetween(settings_.spawnNanos, now);
        if (frame >= kWarmUpFrames) result_.frameSeconds.push_back(secondsBetween(last_, now));
        last_ = now;
    }

private:
    const RunSettings& settings_;
    RunResult& result_;
    long long last_ = 0;
};

int totalFrames(const RunSettings& settings) { return kWarmUpFrames + std::max(settings.frames, 1); }

void runFloor(GLFWwindow* window, const RunSettings& settings, RunResult& result) {
    FrameTimer timer(settings, result);
    glClearColor(0.0f, 0.8f, 1.0f, 0.5f);
    for (int frame = 0; frame < totalFrames(settings); ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glfwSwapBuffers(window);
        timer.presented(frame);
    }
}

GLuint compileReference() {
    const GLuint program = glCreateProgram();
    for (const auto& [type, source] : {std::pair{GL_VERTEX_SHADER, kReferenceVertexShader},
                                       std::pair{GL_FRAGMENT_SHADER, kReferenceFragmentShader}}) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glBindAttribLocation(program, 0, "position");
    glLinkProgram(program);
    return program;
}

// A mipmapped RGBA pattern with enough detail that sampling is not trivial.
GLuint makeReferenceTexture() {
    std::vector<unsigned char> pixels(4 * kReferenceTextureSide * kReferenceTextureSide);
    for (int y = 0; y < kReferenceTextureSide; ++y)
        for (int x = 0; x < kReferenceTextureSide; ++x) {
            unsigned char* p = &pixels[4 * (y * kReferenceTextureSide + x)];
            p[0] = static_cast<unsigned char>(x ^ y);
            p[1] = static_cast<unsigned char>(x * 3 + y);
            p[2] = static_cast<unsigned char>(((x / 16 + y / 16) & 1) * 200);
            p[3] = 255;
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kReferenceTextureSide, kReferenceTextureSide, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenerateMipmap(GL_TEXTURE_2D);
    return texture;
}

void runOnePass(GLFWwindow* window, const RunSettings& settings, RunResult& result) {
    const GLuint program = compileReference();
    const GLuint texture = makeReferenceTexture();
    GLuint vao = 0, buffer = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof kQuad, kQuad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "image"), 0);
    glUniform2f(glGetUniformLocation(program, "repeat"), static_cast<float>(settings.width) / kReferenceTextureSide,
                static_cast<float>(settings.height) / kReferenceTextureSide);
    glClearColor(0.0f, 0.8f, 1.0f, 0.5f);

    FrameTimer timer(settings, result);
    for (int frame = 0; frame < totalFrames(settings); ++frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        glfwSwapBuffers(window);
        timer.presented(frame);
    }
    glDeleteBuffers(1, &buffer);
    glDeleteVertexArrays(1, &vao);
    glDeleteTextures(1, &texture);
    glDeleteProgram(program);
}

// Timer queries around each pass, two frames' worth, so that a frame's
// results are read while the next one is drawn.
class PassQueries : public PassObserver {
public:
    PassQueries() { glGenQueries(2 * kFramePassCount, names_); }
    ~PassQueries() override { glDeleteQueries(2 * kFramePassCount, names_); }

    void startFrame(int frame) { set_ = frame & 1; }
    void begin(FramePass pass) override { glBeginQuery(GL_TIME_ELAPSED, name(set_, pass)); }
    void end(FramePass) override { glEndQuery(GL_TIME_ELAPSED); }

    // Adds the other set's results, written during the previous frame.
    void collectPrevious(double* sums) {
        for (int p = 0; p < kFramePassCount; ++p) {
            GLuint64 nanos = 0;
            glGetQueryObjectui64v(name(1 - set_, static_cast<FramePass>(p)), GL_QUERY_RESULT, &nanos);
            sums[p] += 1e-9 * static_cast<double>(nanos);
        }
    }

private:
    GLuint name(int set, FramePass pass) const { return names_[set * kFramePassCount + static_cast<int>(pass)]; }
    GLuint names_[2 * kFramePassCount] = {};
    int set_ = 0;
};

// The fixed path: a walk from the start south over the land bridge and east
// along it, then a look over the lagoon from the start, then a look into the
// sky. Walk keys go through the game's own rules, so the eye follows the ground.
struct CameraPath {
    int frames;

    // 0 walking, 1 over the lagoon, 2 into the sky; t runs 0..1 within the phase.
    int phase(int frame, float& t) const {
        const float s = static_cast<float>(frame) / static_cast<float>(frames);
        if (s < 0.4f) {
            t = s / 0.4f;
            return 0;
        }
        t = s < 0.7f ? (s - 0.4f) / 0.3f : (s - 0.7f) / 0.3f;
        return s < 0.7f ? 1 : 2;
    }

    // Points the camera for this frame and gives the game time step; true
    // while the walk holds W.
    bool apply(int frame, Camera& camera, float& dt) const {
        float t = 0.0f, before = 0.0f;
        const int which = phase(frame, t);
        if (which == 0) {
            dt = kWalkSeconds / (0.4f * static_cast<float>(frames));
            camera.horizontalAngle = t < 0.45f ? 0.0f : kHalfPi;  // south, then east
            camera.verticalAngle = -0.15f;
            return true;
        }
        dt = kLookSeconds / (0.3f * static_cast<float>(frames));
        if (which == 1 && phase(frame - 1, before) == 0) camera.playerPosition = Camera().playerPosition;
        camera.horizontalAngle = which == 1 ? kHalfPi - 0.6f + 1.2f * t : 2.0f * t;
        camera.verticalAngle = which == 1 ? -0.25f : 1.1f;
        return false;
    }
};

void runGame(GLFWwindow* window, const RunSettings& settings, RunResult& result) {
    createScene(window);
    result.stages = startupTimes;

    Camera camera;
    GameState game;
    JumpState jump;
    const CameraPath path{totalFrames(settings)};
    const auto ground = [](const Vector3& p) { return world.terrain->groundHeightAt(p); };
    PassQueries queries;
    FrameTimer timer(settings, result);
    double passSums[kFramePassCount] = {};
    double logic = 0.0, mainThread = 0.0;
    float framesPerSecond = 0.0f;

    for (int frame = 0; frame < totalFrames(settings); ++frame) {
        const double cpuStart = threadCpuSeconds();
        const auto logicStart = std::chrono::steady_clock::now();
        float dt = 0.0f;
        const bool walk = path.apply(frame, camera, dt);
        const CameraVectors vectors = cameraVectors(camera);
        ruleStep(camera, game, jump, vectors, dt, [walk](int key) { return walk && key == GLFW_KEY_W; }, ground);
        camera.viewMatrix = cameraView(camera, vectors);
        const double frameTime = glfwGetTime();
        winningLineStep(camera, game);
        const FrameView view = frameViewOf(camera, vectors, frameTime);
        updateWorld(static_cast<double>(dt));
        const double logicSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - logicStart).count();

        queries.startFrame(frame);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        renderPasses(view, &queries);
        queries.begin(FramePass::Hud);
        drawHud(game, framesPerSecond);
        queries.end(FramePass::Hud);
        glfwSwapBuffers(window);
        timer.presented(frame);
        if (frame == 0) releaseImportHeap();  // as the game does
        if (frame > kWarmUpFrames) queries.collectPrevious(passSums);
        if (frame >= kWarmUpFrames) {
            logic += logicSeconds;
            mainThread += threadCpuSeconds() - cpuStart;
        }
        if (!result.frameSeconds.empty()) framesPerSecond = static_cast<float>(1.0 / result.frameSeconds.back());
    }
    const double measured = static_cast<double>(std::max<size_t>(result.frameSeconds.size(), 1));
    for (int p = 0; p < kFramePassCount; ++p) result.passSeconds[p] = passSums[p] / std::max(measured - 1.0, 1.0);
    result.logicSeconds = logic / measured;
    result.mainThreadSeconds = mainThread / measured;

    destroyScene();
}

// A working directory like this one but for the floor's fragment shaders:
// every other data file is linked in. Removed by the destructor, which also
// goes back to the first directory.
class FloorDirectory {
public:
    FloorDirectory() {
        namespace fs = std::filesystem;
        char name[] = "/tmp/quellmoor-floor-XXXXXX";
        if (!mkdtemp(name)) return;
        path_ = name;
        for (const char* folder : {"Models", "Font"}) fs::create_directory_symlink(fs::absolute(folder), path_ / folder);
        fs::create_directory(path_ / "Shader");
        for (const auto& entry : fs::directory_iterator("Shader"))
            fs::create_symlink(fs::absolute(entry.path()), path_ / "Shader" / entry.path().filename());
        for (const auto& [file, source] : kFloorFragmentShaders) {
            fs::remove(path_ / "Shader" / file);
            std::ofstream(path_ / "Shader" / file) << source;
        }
        fs::current_path(path_);
    }
    ~FloorDirectory() {
        if (path_.empty()) return;
        std::filesystem::current_path(original_);
        std::filesystem::remove_all(path_);
    }

private:
    std::filesystem::path original_ = std::filesystem::current_path();
    std::filesystem::path path_;
};

}  // namespace

GLFWwindow* openBenchWindow(const RunSettings& settings) {
    if (!glfwInit()) return nullptr;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);  // the game's framebuffer
    GLFWwindow* window = glfwCreateWindow(settings.width, settings.height, "quellmoor-bench", nullptr, nullptr);
    if (!window) return nullptr;
    glfwMakeContextCurrent(window);
    if (!platform::loadGL()) return nullptr;
    glfwSwapInterval(0);  // never wait for a display refresh
    return window;
}

long long steadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool runProgram(const RunSettings& settings, RunResult& result) {
    windowWidth = settings.width;
    windowHeight = settings.height;
    GLFWwindow* window = openBenchWindow(settings);
    if (!window) {
        glfwTerminate();
        return false;
    }
    result.contextSeconds = secondsBetween(settings.spawnNanos, steadyNanos());
    result.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    switch (settings.program) {
    case BenchProgram::Floor: runFloor(window, settings, result); break;
    case BenchProgram::OnePass: runOnePass(window, settings, result); break;
    case BenchProgram::Game: runGame(window, settings, result); break;
    case BenchProgram::DesignFloor: {
        FloorDirectory directory;
        runGame(window, settings, result);
        break;
    }
    }
    result.peakResidentKiB = peakResidentKiB();
    glfwTerminate();
    return true;
}

void writeResult(std::FILE* out, const RunResult& r) {
    std::fprintf(out, "renderer %s\n", r.renderer.c_str());
    std::fprintf(out, "context %.9f\nstartup %.9f\n", r.contextSeconds, r.startupSeconds);
    std::fprintf(out, "stages %.9f %.9f %.9f %.9f %.9f\n", r.stages.shaders, r.stages.texts, r.stages.models,
                 r.stages.textures, r.stages.terrain);
    std::fprintf(out, "passes");
    for (double seconds : r.passSeconds) std::fprintf(out, " %.9f", seconds);
    std::fprintf(out, "\nlogic %.9f\nmainthread %.9f\nrss %ld\nframes", r.logicSeconds, r.mainThreadSeconds,
                 r.peakResidentKiB);
    for (double seconds : r.frameSeconds) std::fprintf(out, " %.9f", seconds);
    std::fprintf(out, "\n");
}

bool readResult(const std::string& text, RunResult& r) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t space = line.find(' ');
        if (space != std::string::npos) fields[line.substr(0, space)] = line.substr(space + 1);
    }
    for (const char* key : {"renderer", "context", "startup", "stages", "passes", "logic", "mainthread", "rss", "frames"})
        if (!fields.count(key)) return false;
    r.renderer = fields["renderer"];
    r.contextSeconds = std::stod(fields["context"]);
    r.startupSeconds = std::stod(fields["startup"]);
    std::istringstream stages(fields["stages"]);
    stages >> r.stages.shaders >> r.stages.texts >> r.stages.models >> r.stages.textures >> r.stages.terrain;
    std::istringstream passes(fields["passes"]);
    for (double& seconds : r.passSeconds) passes >> seconds;
    r.logicSeconds = std::stod(fields["logic"]);
    r.mainThreadSeconds = std::stod(fields["mainthread"]);
    r.peakResidentKiB = std::stol(fields["rss"]);
    std::istringstream frames(fields["frames"]);
    r.frameSeconds.clear();
    for (double seconds; frames >> seconds;) r.frameSeconds.push_back(seconds);
    return !r.frameSeconds.empty();
}
