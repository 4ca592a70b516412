// The game itself, started and played frame by frame by a script
// (support/GameScript.h): what it asks of GLFW, what every draw of a frame
// runs with, what the frame shows, and a round played through.
#include "app/RenderPasses.h"
#include "geometry/Terrain.h"
#include "gpu/Text.h"
#include "gpu/Texture.h"
#include "math/SkyProjection.h"
#include "support/GameScript.h"
#include "support/Harness.h"
#include "world/World.h"

#include <FreeImage.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <sstream>

namespace {

// A working directory for the game: its own config.txt, the data files linked in.
struct GameTest : ::testing::Test {
    void SetUp() override {
        prepareGameDirectory(dir.path, "WIDTH = 800\nHEIGHT = 600\nFULLSCREEN = 0\n");
        ASSERT_EQ(chdir(dir.path.c_str()), 0);
    }
    TempDir dir;
};

// The sky picture read as the sky box shader reads it when magnified: bilinear, wrapping in u.
std::array<float, 3> skyTexel(FIBITMAP* sky, const Vector3& direction) {
    const int w = static_cast<int>(FreeImage_GetWidth(sky)), h = static_cast<int>(FreeImage_GetHeight(sky));
    const Vector2 c = skyPictureCoordinate(direction);
    const float x = c.x * w - 0.5f, y = std::clamp(c.y * h - 0.5f, 0.0f, h - 1.0f);
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(y);
    std::array<float, 3> rgb{};
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const BYTE* p = FreeImage_GetScanLine(sky, std::min(y0 + dy, h - 1)) + 3 * (((x0 + dx) % w + w) % w);
            const float weight = (dx ? x - x0 : 1.0f - (x - x0)) * (dy ? y - y0 : 1.0f - (y - y0));
            for (int k = 0; k < 3; ++k) rgb[k] += weight * p[2 - k];
        }
    return rgb;
}

// Numbers to four decimals, comma-separated, without a "-0".
std::string decimals(std::initializer_list<float> values) {
    std::string out;
    char number[32];
    for (float v : values) out += (std::snprintf(number, sizeof number, out.empty() ? "%g" : ",%g", std::round(v * 1e4) / 1e4 + 0.0), number);
    return out;
}

// A texture's filters and wrapping, and with whole its size, format and depth comparison, as GL reports them.
std::string textureState(GLuint texture, bool whole = false) {
    static const std::map<GLint, std::string> names = {{GL_NEAREST, "nearest"}, {GL_LINEAR, "linear"}, {GL_NEAREST_MIPMAP_NEAREST, "nearest_mipmap_nearest"},
        {GL_NEAREST_MIPMAP_LINEAR, "nearest_mipmap_linear"}, {GL_LINEAR_MIPMAP_NEAREST, "linear_mipmap_nearest"}, {GL_LINEAR_MIPMAP_LINEAR, "linear_mipmap_linear"},
        {GL_REPEAT, "repeat"}, {GL_CLAMP_TO_EDGE, "clamp"}, {GL_RGBA, "rgba"}, {GL_DEPTH_COMPONENT16, "depth16"}, {GL_NONE, "none"},
        {GL_COMPARE_REF_TO_TEXTURE, "compare"}, {GL_LEQUAL, "lequal"}};
    const GLenum parameters[] = {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T, GL_TEXTURE_COMPARE_MODE,
                                 GL_TEXTURE_COMPARE_FUNC, GL_TEXTURE_WIDTH, GL_TEXTURE_HEIGHT, GL_TEXTURE_INTERNAL_FORMAT};  // the last three of level 0
    GLint bound = 0, v[9] = {};
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (int i = 0; i < 9; ++i)
        i < 6 ? glGetTexParameteriv(GL_TEXTURE_2D, parameters[i], &v[i]) : glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameters[i], &v[i]);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    auto name = [&](GLint value) { return names.count(value) ? names.at(value) : std::to_string(value); };
    const std::string state = name(v[0]) + "/" + name(v[1]) + " " + name(v[2]) + "/" + name(v[3]);
    return whole ? std::to_string(v[6]) + "x" + std::to_string(v[7]) + " " + name(v[8]) + " " + state + " " + name(v[4]) + "/" + name(v[5]) : state;
}

}  // namespace

// The start view at 800 x 600: tests/gl/start-view.txt, and the sky in it.
TEST_F(GameTest, TheFirstFrameIsTheStartView) {
    GameScript script;
    script.startTime = 1.25;
    script.frames = {{2.0}};
    script.keepPixels = true;
    std::vector<std::string> seen;
    script.atSwap = [&](const FrameRecord& f) {
        float c[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
        const float height = f.eye.y - (world.terrain->groundHeightAt(f.eye) - 2.0f);
        seen = script.trace;
        seen.insert(seen.end(), {"title " + f.title, "clear " + decimals({c[0], c[1], c[2], c[3]}), "eye " + decimals({height}) + " above the ground at " +
                                 decimals({f.eye.x, f.eye.z}) + " looking " + decimals({f.direction.x, f.direction.y, f.direction.z})});
        for (const std::string& draw : f.draws) seen.push_back("draw " + draw);
        for (const auto& [name, m] : f.models) {
            const Vector3 at = transformPoint(m, {}), x = transformDirection(m, {1, 0, 0}), y = transformDirection(m, {0, 1, 0}), z = transformDirection(m, {0, 0, 1});
            seen.push_back("model " + name + " at " + decimals({at.x, at.y, at.z}) + " scale " + decimals({length(x), length(y), length(z)}));
        }
        for (const Terrain* t : {world.terrain, renderTargets.shadowTerrain})
            seen.push_back("terrain from " + decimals({t->positions[0].x, t->positions[0].z}) + " up to " + decimals({t->heightScale}));
        for (const auto& [name, line] : script.texts) seen.push_back("text " + name + " " + line);
        seen.push_back("texture shadow " + textureState(renderTargets.shadowDepthTexture, true));
        seen.push_back("texture reflection " + textureState(renderTargets.reflectionColorTexture, true));
    };
    ASSERT_EQ(script.play(), 0);
    EXPECT_EQ(script.glErrors, std::vector<std::string>{});
    ASSERT_EQ(script.recorded.size(), 1u) << "Escape ends the game after the frame it is held in";
    const std::vector<std::string> expected = dataLines(QM_TEST_DIR "/gl/start-view.txt");
    for (size_t i = 0; i < std::max(seen.size(), expected.size()); ++i)
        EXPECT_EQ(i < seen.size() ? seen[i] : "(nothing)", i < expected.size() ? expected[i] : "(nothing)") << "line " << i;
    const FrameRecord& f = script.recorded[0];

    // Above the horizon the sky box shows the sky picture in the direction through each pixel.
    const std::unique_ptr<FIBITMAP, void (*)(FIBITMAP*)> sky(FreeImage_Load(FIF_JPEG, "Models/Above_The_Sea2.jpg", 0), FreeImage_Unload);
    ASSERT_TRUE(sky && f.shown.size() == 800u * 600 * 4);
    auto pixel = [&](int x, int y) { return &f.shown[(static_cast<size_t>(y) * 800 + x) * 4]; };
    const float tanHalf = std::tan(0.5235988f), aspect = 800.0f / 600.0f;
    for (const auto& [x, y] : {std::pair{100, 560}, {180, 474}, {450, 479}, {150, 389}, {300, 344}}) {
        const float sx = (2.0f * (x + 0.5f) / 800 - 1.0f) * tanHalf * aspect, sy = (2.0f * (y + 0.5f) / 600 - 1.0f) * tanHalf;
        const auto expected = skyTexel(sky.get(), f.right * sx + f.up * sy + f.direction);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(pixel(x, y)[k], expected[k], 4.0f) << "sky at " << x << ", " << y << " channel " << k;
    }
}

// A round of tests/gl/round.txt, frame by frame.
TEST_F(GameTest, ARoundPlayedFrameByFrame) {
    auto key = [](const std::string& name) {
        const std::map<std::string, int> keys = {{"W", GLFW_KEY_W}, {"A", GLFW_KEY_A}, {"S", GLFW_KEY_S}, {"D", GLFW_KEY_D}, {"Space", GLFW_KEY_SPACE}, {"Enter", GLFW_KEY_ENTER}};
        return name[0] == 'F' ? GLFW_KEY_F1 + std::stoi(name.substr(1)) - 1 : keys.at(name);
    };
    auto words = [](const std::string& text) {  // "-" has none
        std::istringstream in(text == "-" ? "" : text);
        return std::set<std::string>(std::istream_iterator<std::string>(in), {});
    };
    std::vector<std::vector<std::string>> rows;
    GameScript script;
    for (const std::string& line : dataLines(QM_TEST_DIR "/gl/round.txt")) {
        rows.push_back(split(line, " | "));
        ScriptedFrame frame{std::stod(rows.back()[0])};
        for (const std::string& name : words(rows.back()[1])) frame.held.insert(key(name));
        for (const std::string& name : words(rows.back()[2])) frame.pressed.push_back(key(name));
        std::sscanf(rows.back().at(3).c_str(), "%d,%d", &frame.dx, &frame.dy);
        script.frames.push_back(frame);
    }
    script.startTime = 0.25;
    script.closeAtEnd = true;
    std::vector<std::string> seen;  // per frame: eye, height, HUD, filters, then the words for its facts
    script.atSwap = [&](const FrameRecord& f) {
        std::string hud, filters, facts = "title=" + f.title;
        for (const std::string& text : f.hud) hud += (hud.empty() ? "" : " ") + text;
        for (Texture* t : {world.rockTexture, world.carpetTexture, world.waterColorTexture, world.waterNormalTexture, world.waterDudvTexture,
                           world.groundTexture, world.groundNormalTexture, world.fontTexture, world.skyTexture, world.brickNormalTexture}) {
            const std::string state = textureState(t->textureHandle), pair = state.substr(0, state.find(' '));
            if (filters.empty()) filters = pair;
            if (state != (t == world.fontTexture || t == world.skyTexture || t == world.brickNormalTexture ? "linear_mipmap_linear/linear" : filters) + " repeat/repeat")
                filters += " but " + state;
        }
        facts.erase(std::remove(facts.begin(), facts.end(), ' '), facts.end());
        std::replace(facts.begin(), facts.end(), '|', ':');
        for (const std::string& draw : f.draws) facts += " " + draw;
        seen.push_back(decimals({f.eye.x, f.eye.z}) + " | " + decimals({f.eye.y - world.terrain->groundHeightAt(f.eye) + 2.0f}) + " | " + hud + " | " +
                       filters + " | " + facts + " looking=" + decimals({f.direction.x, f.direction.y, f.direction.z}));
    };
    ASSERT_EQ(script.play(), 0);
    EXPECT_EQ(script.glErrors, std::vector<std::string>{});
    EXPECT_EQ(script.liveNames, 0) << "GL names left when the game shut down";
    ASSERT_EQ(seen.size(), rows.size()) << "closing the window ends the game";
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(seen[i].substr(0, seen[i].rfind(" | ")), rows[i][4] + " | " + rows[i][5] + " | " + rows[i][6] + " | " + rows[i][7]) << "frame " << i;
        const std::set<std::string> facts = words(seen[i].substr(seen[i].rfind(" | ") + 3)), expected = words(rows[i][8]);
        for (const std::string& fact : expected) EXPECT_TRUE(facts.count(fact)) << "frame " << i << " lacks " << fact;
        EXPECT_EQ(facts.count("lines"), expected.count("lines")) << "wire-frame in frame " << i;
    }
    // The plus turned a quarter and rose 0.1 in the first half second.
    const Matrix4& plus = script.recorded.at(1).models.at("plus");
    EXPECT_LT(length(transformDirection(plus, {1, 0, 0}) - Vector3{0, 0, -0.2f}) + std::abs(plus.m[3][1] - 1.1f), 1e-5f);
}

// Random play for QM_SOAK_SECONDS (60 unless set; QM_SOAK_SEED repeats a run), after a visit to every
// drawing state (F4 sampling x F5 mipmaps x F3 wireframe), for which the
// driver builds and keeps code: the driver reports no GL error, the floor of
// the resident memory stays flat after a warm-up, and Escape still ends the game.
TEST_F(GameTest, SoakUnderRandomPlay) {
    const double seconds = std::getenv("QM_SOAK_SECONDS") ? std::atof(std::getenv("QM_SOAK_SECONDS")) : 60.0;
    const int keys[] = {GLFW_KEY_W, GLFW_KEY_A, GLFW_KEY_S, GLFW_KEY_D, GLFW_KEY_SPACE, GLFW_KEY_ENTER};
    GameScript script;
    for (int sampling = 0; sampling < 2; ++sampling) {
        for (int mipmaps = 0; mipmaps < 3; ++mipmaps)
            for (int key : {GLFW_KEY_F3, GLFW_KEY_F3, GLFW_KEY_F5}) script.frames.push_back({0.0, {}, {key}});
        script.frames.push_back({0.0, {}, {GLFW_KEY_F4}});
    }
    const unsigned seed = std::getenv("QM_SOAK_SEED") ? unsigned(std::atol(std::getenv("QM_SOAK_SEED"))) : std::random_device{}();
    std::mt19937 random(seed);
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::pair<double, long>> memory;  // seconds since the start, VmRSS KiB
    script.atSwap = [&](const FrameRecord&) {
        const double now = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (memory.empty() || now - memory.back().first >= 1.0) {
            const std::string status = readFile("/proc/self/status");
            memory.push_back({now, std::atol(status.c_str() + status.find("VmRSS:") + 6)});
        }
        script.recorded.clear();  // nothing kept from frame to frame
        if (now > seconds) return;
        ScriptedFrame next{script.frames.back().time + 1.0 / 30, {}, {}, int(random() % 121) - 60, int(random() % 121) - 60};
        for (int key : keys) if (random() % 6 == 0) next.held.insert(key);
        // Wire-frame (F3) is left to the warm-up: its line buffers would lift the floor for as long as it stays on.
        const int function = GLFW_KEY_F2 + int(random() % 7);
        if (random() % 10 == 0) next.pressed.push_back(function >= GLFW_KEY_F3 ? function + 1 : function);
        script.frames.push_back(next);
    };
    ASSERT_EQ(script.play(), 0);
    EXPECT_EQ(script.glErrors, std::vector<std::string>{});
    // The software renderer's buffers come and go with what fills the screen, so
    // the smallest sample of each ten seconds is what must stay flat.
    auto floor = [&](double from, double to) {
        long least = LONG_MAX;
        for (const auto& [t, kib] : memory) if (t >= from && t < to) least = std::min(least, kib);
        return least;
    };
    ASSERT_GT(seconds, 25.0) << "too short to measure";
    std::printf("soak: seed %u, %zu frames, resident floor %ld KiB after the warm-up, %ld KiB at the end\n", seed, script.frames.size(), floor(15, 25),
                floor(seconds - 10, seconds + 1));
    EXPECT_LT(floor(seconds - 10, seconds + 1) - floor(15, 25), 16 * 1024) << "KiB of resident memory more at the end";
}

// A row a frame: what the desktop does to the window in its event poll (a resize, the focus away and back,
// the pointer coming over it, minimised: 0 x 0 on some systems, iconified on others), then the frame's screen size, its turn (radians of
// yaw), the cursor mode and whether the eye moved; or that it drew nothing.
TEST_F(GameTest, FollowsWhatTheDesktopDoesToTheWindow) {
    auto frame = [](double time, int dx, std::set<int> held = {}) { return ScriptedFrame{time, std::move(held), {}, dx, 0}; };
    auto resized = [](ScriptedFrame f, int w, int h) { return f.width = w, f.height = h, f; };
    auto event = [](ScriptedFrame f, int ScriptedFrame::*field, int on) { return f.*field = on, f; };
    const std::vector<std::pair<ScriptedFrame, std::string>> rows = {
        {frame(1.0, 0), "800x600 turned 0 disabled stood"},
        {resized(frame(1.1, 0), 1000, 700), "1000x700 turned 0 disabled stood"},       // everything placed anew, below
        {frame(1.2, 0), "1000x700 turned 0 disabled stood"},     // the cursor goes back to the new centre
        {event(frame(1.3, 60), &ScriptedFrame::focus, 0), "1000x700 turned 0 normal stood"}, {frame(1.4, 90), "1000x700 turned 0 normal stood"},
        {event(frame(1.5, 40), &ScriptedFrame::focus, 1), "1000x700 turned 0 disabled stood"},  // centred, not turned
        {frame(1.6, 20), "1000x700 turned -0.1 disabled stood"},
        {event(frame(1.65, 300), &ScriptedFrame::enter, 1), "1000x700 turned 0 disabled stood"},  // the pointer's place on entering is no move
        {resized(frame(1.7, 0), 0, 0), "waited"}, {event(frame(50.0, 0), &ScriptedFrame::iconify, 1), "waited"}, {resized(frame(60.0, 0), 1000, 700), "waited"},
        {event(frame(100.0, 0, {GLFW_KEY_W}), &ScriptedFrame::iconify, 0), "1000x700 turned 0 disabled stood"},  // the pause is no time step
        {frame(100.1, 0), "1000x700 turned 0 disabled stood"},
    };
    GameScript script;
    for (const auto& row : rows) script.frames.push_back(row.first);
    script.keepPixels = true;
    std::vector<std::string> seen;
    Vector3 lastEye, lastDirection;
    script.atSwap = [&](const FrameRecord& f) {
        EXPECT_EQ(textureState(renderTargets.reflectionColorTexture, true).substr(0, 8), seen.empty() ? "800x600 " : "1000x700") << "frame " << seen.size();
        if (f.waited) return seen.push_back("waited");
        if (seen.empty()) lastEye = f.eye, lastDirection = f.direction;
        const float turn = std::atan2(f.direction.x, f.direction.z) - std::atan2(lastDirection.x, lastDirection.z);
        char line[96];
        std::snprintf(line, sizeof line, "%s turned %g %s %s", split(f.draws.back(), " ").at(1).c_str(), std::round(turn * 1e2) / 1e2 + 0.0,
                      glfwGetInputMode(glfwGetCurrentContext(), GLFW_CURSOR) == GLFW_CURSOR_DISABLED ? "disabled" : "normal",
                      length(f.eye - lastEye) < 1e-6f ? "stood" : "moved");
        seen.push_back(line);
        lastEye = f.eye, lastDirection = f.direction;
        if (seen.size() != 2) return;
        // The frame after the resize fills the window, with the HUD where a window of this size has it.
        ASSERT_EQ(f.shown.size(), 1000u * 700 * 4);
        for (size_t i = 0; i < f.shown.size(); i += 4) ASSERT_FALSE(f.shown[i] == 0 && f.shown[i + 1] == 204 && f.shown[i + 2] == 255) << "clear colour at " << i / 4;
        for (const auto& [text, x, y, size] : {std::tuple{world.livesText3, 872, 636, 40}, {world.wonText, 222, 467, 75},
                                               {world.restartText, 153, 350, 50}, {world.framesText, 80, 600, 15}, {world.frameDigitTexts[35], 60, 600, 15}})
            EXPECT_TRUE(text->positions.at(1).x == x && text->positions.at(1).y == y && text->positions.at(0).y == y + size) << x << "," << y;
        EXPECT_NE(f.beforeHud, f.shown) << "the HUD drew nothing";
        for (const std::string& draw : f.draws) EXPECT_TRUE(draw.find(" basic ") == std::string::npos || draw.find("VP=(") == std::string::npos) << draw;
    };
    ASSERT_EQ(script.play(), 0);
    EXPECT_EQ(script.glErrors, std::vector<std::string>{});
    ASSERT_EQ(seen.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(seen[i], rows[i].second) << "frame " << i;
}

// A window asked to close before the first frame (its close button, or the
// desktop's session ending) draws no frame, and the game still shuts down cleanly.
TEST_F(GameTest, AWindowClosedBeforeTheFirstFrameDrawsNone) {
    GameScript script;
    script.closeAtEnd = true;
    ASSERT_EQ(script.play(), 0);
    EXPECT_TRUE(script.recorded.empty() && script.liveNames == 0) << script.recorded.size() << " frames, GL names left: " << script.liveNames;
}
