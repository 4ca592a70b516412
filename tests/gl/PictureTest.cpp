// Small frames of one walk, each compared with another frame of the same run
// at the same clock reading: what each display key does to the picture, both
// ways; what the water hides and shows; shadows, the turning light, the reflection.
// Then the start view: where the water meets the far sea, how the ground under
// it fades with depth, and every HUD text over white.
#include "app/RenderPasses.h"
#include "geometry/SceneObject.h"
#include "geometry/Terrain.h"
#include "gpu/Text.h"
#include "support/GameScript.h"
#include "support/Harness.h"
#include "world/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

constexpr int kWidth = 160, kHeight = 120;
using Picture = std::vector<unsigned char>;  // RGBA rows from the bottom
using Region = std::vector<bool>;            // a flag a pixel

// The largest difference of a channel between pixel i of a and pixel j of b, in levels.
int gap(const Picture& a, size_t i, const Picture& b, size_t j) {
    return std::max({std::abs(a.at(4 * i) - b.at(4 * j)), std::abs(a.at(4 * i + 1) - b.at(4 * j + 1)), std::abs(a.at(4 * i + 2) - b.at(4 * j + 2))});
}

bool differ(const Picture& a, const Picture& b, size_t i) { return gap(a, i, b, i) > 2; }

// Pixel i's mean of its three channels, in levels.
double grey(const Picture& p, size_t i) { return (p.at(4 * i) + p.at(4 * i + 1) + p.at(4 * i + 2)) / 3.0; }

// Over the region: the share of its pixels that differ between a and b; given
// channels, the mean of channel c of a less channel d of b, in levels.
double over(const Region& region, const Picture& a, const Picture& b, int c = -1, int d = 0) {
    double sum = 0.0, in = 0.0;
    for (size_t i = 0; i < region.size(); ++i)
        if (region[i]) sum += c < 0 ? differ(a, b, i) : a.at(4 * i + c) - b.at(4 * i + d), ++in;
    return in > 0.0 ? sum / in : 0.0;
}

// The pixel (column, row from the bottom) where frame f, w x h, sees the world point p.
std::pair<int, int> onScreen(const FrameRecord& f, const Vector3& p, int w, int h) {
    const Vector3 v = p - f.eye;
    const float depth = dot(v, f.direction), tanHalf = std::tan(0.5235988f);
    return {int((1 + dot(v, f.right) / depth / tanHalf * h / w) * w / 2), int((1 + dot(v, f.up) / depth / tanHalf) * h / 2)};
}

}  // namespace

TEST(Picture, DisplayKeysWaterShadowsLightAndReflection) {
    TempDir dir;
    prepareGameDirectory(dir.path, "WIDTH = 160\nHEIGHT = 120\nFULLSCREEN = 0\n");
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    auto at = [](double time, int f, int dy = 0, int dx = 0) { return ScriptedFrame{time, {}, f ? std::vector<int>{GLFW_KEY_F1 + f - 1} : std::vector<int>{}, dx, dy}; };
    // South, then east onto the land bridge; frame 4 looks down over the lagoon, 19 up toward the sphere, 24 as far down.
    GameScript script;
    script.startTime = 1.0;
    script.keepPixels = true;
    script.frames = {at(1, 0), {2.0667, {GLFW_KEY_S}}, {2.9, {GLFW_KEY_D}}, at(3, 0, 160), at(3, 0), at(3, 2), at(3, 2), at(3, 3), at(3, 3), at(3, 4),
                     at(3, 4), at(3, 5), at(3, 5), at(3, 5), at(3, 9), at(3, 0), at(3, 9), at(3, 0), at(3, 0), at(3, 6, -280, 150), at(7.5, 0),
                     at(7.5, 6), at(12, 0), at(12, 0), at(12, 0, 240)};
    std::vector<Picture> reflections;
    Matrix4 away = translateBy(Matrix4(), {0, 100, 0}), away2 = away;
    script.atSwap = [&](const FrameRecord&) {
        glBindTexture(GL_TEXTURE_2D, renderTargets.reflectionColorTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, reflections.emplace_back(size_t(kWidth) * kHeight * 4).data());
        // Frames 15 and 16 draw the ground with the carpet; 17 has no sphere or plus to cast a shadow.
        if (reflections.size() == 15 || reflections.size() == 17) std::swap(world.rockTexture, world.carpetTexture);
        if (reflections.size() == 17 || reflections.size() == 18) std::swap(world.sphereShadowMesh->model, away), std::swap(world.plusShadowMesh->model, away2);
    };
    ASSERT_EQ(script.play(), 0);
    auto scene = [&](size_t frame) -> const Picture& { return script.recorded.at(frame).beforeHud; };
    auto shown = [&](size_t frame) -> const Picture& { return script.recorded.at(frame).shown; };
    Region all(size_t(kWidth) * kHeight, true), counterRow(all.size()), rest(all.size()), water(all.size()), turned(all.size()), mirroredSphere(all.size());
    int clear = 0;  // pixels of the clear colour in frames that fill their polygons
    for (size_t i = 0; i < all.size(); ++i) {
        counterRow[i] = i / kWidth >= 20 && i / kWidth < 35, rest[i] = !counterRow[i];
        water[i] = differ(scene(4), scene(14), i), turned[i] = differ(scene(20), scene(21), i);
        for (size_t f = 0; f < script.recorded.size(); ++f) clear += f != 7 && scene(f).at(4 * i) == 0 && scene(f)[4 * i + 1] == 204 && scene(f)[4 * i + 2] == 255;
    }
    // Where the camera mirrored in the water plane y = -0.61 sees the sphere's centre, which the view up (23) sees elsewhere.
    const FrameRecord& high = script.recorded.at(23);
    const auto [sx, sy] = onScreen(high, transformPoint(high.models.at("sphere"), {}) + Vector3{0, 2 * high.eye.y + 1.22f, 0}, kWidth, kHeight);
    mirroredSphere.at(size_t(sy) * kWidth + size_t(sx)) = true;
    // What the player sees, measured on two frames: the share of a region's pixels that differ, or a mean difference of channels.
    const std::vector<std::tuple<const char*, double, double, double>> rows = {
        {"F2 shows the frame counter in its row", over(counterRow, shown(4), shown(5)), 0.1, 1},
        {"... and changes nothing else", over(rest, shown(4), shown(5)) + over(all, scene(4), scene(5)), 0, 0},
        {"F3 draws wire-frames", over(all, scene(4), scene(7)), 0.3, 1},
        {"F4 samples the nearest texel", over(all, scene(4), scene(9)), 0.05, 1},
        {"F5 turns mipmaps off", over(all, scene(4), scene(11)), 0.1, 1},
        {"F5 again picks the nearest mipmap", over(all, scene(11), scene(12)), 0.1, 1},
        {"F9 makes the water opaque", over(all, scene(4), scene(14)), 0.2, 1},
        {"... so the ground under it no longer shows", over(water, scene(14), scene(15)), 0, 0.01},
        {"with F9 again the ground shows through", over(water, scene(16), scene(18)), 0.1, 1},
        {"the last press of F2, F3, F4, F5 and F9 brings back the first picture",
         over(all, shown(4), shown(6)) + over(all, scene(4), scene(8)) + over(all, scene(4), scene(10)) + over(all, scene(4), scene(13)) + over(all, scene(4), scene(18)), 0, 0},
        {"the sphere and the plus cast shadows", over(all, scene(17), scene(18)), 0.005, 1},
        {"F6 turns the light round behind the sphere: its near side darkens", over(turned, scene(21), scene(20), 1, 1), -255, -10},
        {"F6 again holds the light", over(all, scene(22), scene(23)), 0, 0},
        {"the reflection seen from below shows the sky seen as far above", over(all, scene(23), reflections.at(24)), 0, 0.1},
        {"... and the sphere above the water, mirrored", over(mirroredSphere, scene(23), reflections.at(24)), 1, 1},
        {"the sky is blue", over(all, scene(23), scene(23), 2, 0), 40, 255},
        {"the sky box closes round the eye: no clear colour shows", clear, 0, 0},
    };
    for (const auto& [what, value, least, most] : rows) EXPECT_TRUE(value >= least && value <= most) << what << ": " << value;
}

// The start view at 800 x 600 with the water clear (frame 0) and opaque (1), and clear over a level floor 0.3 (2)
// and 5 (3) under it; then each HUD text drawn alone over black and over white, the brightest cloud.
TEST(Picture, TheWaterMeetsTheFarSeaTheFloorFadesWithDepthAndTheHudReadsOverCloud) {
    TempDir dir;
    prepareGameDirectory(dir.path, "WIDTH = 800\nHEIGHT = 600\nFULLSCREEN = 0\n");
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    GameScript script;
    script.startTime = 1.0, script.keepPixels = true;
    script.frames = {{1.0}, {1.0, {}, {GLFW_KEY_F9}}, {1.0, {}, {GLFW_KEY_F9}}, {1.0}};
    auto luminance = [](int v) { return v <= 10 ? v / 3294.6 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4); };
    std::map<std::string, double> contrast;  // of the glyphs' cores (full ink over black) against the rim just round them (no ink, next to ink)
    script.atSwap = [&](const FrameRecord&) {  // the HUD left its program and atlas in place
        const size_t next = script.recorded.size();
        if (next == 2 || next == 3) world.terrain->model = scaleBy(translateBy(Matrix4(), {0, next == 2 ? -0.9f : -5.6f, 0}), {1, 0, 1});
        for (const auto& [name, text] : next == 4 ? script.hudTexts : decltype(script.hudTexts){}) {
            Picture over[2] = {Picture(800 * 600 * 4), Picture(800 * 600 * 4)};  // black, white
            for (int white : {0, 1})
                glDisable(GL_DEPTH_TEST), glClearColor(white, white, white, 1), glClear(GL_COLOR_BUFFER_BIT), text->draw(), glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, over[white].data());
            double sum[2] = {}, count[2] = {};  // core, rim
            for (size_t i = 801, rim; i < 800 * 599; ++i)
                if (rim = over[0][4 * i] <= 8; over[0][4 * i] >= 230 || (rim && std::max({over[0][4 * i - 4], over[0][4 * i + 4], over[0][4 * i - 3200], over[0][4 * i + 3200]}) > 8))
                    sum[rim] += luminance(over[1][4 * i]), ++count[rim];
            contrast[name] = (sum[0] / count[0] + 0.05) / (sum[1] / count[1] + 0.05);
        }
    };
    ASSERT_EQ(script.play(), 0);
    // Either side of the slab's edge at the side wall x = -5.9 and the far wall z = -5.52, the water and the far
    // sea differ no more than pixels as far apart on one side do. The floor 0.3 under the clear water shows near
    // the eye (1.6 ahead) and fades out far off (3.5), where it looks as one 5 under.
    double edge[2][2] = {}, floor[2] = {};
    for (float t = 0; t < 1; t += 0.001f) {
        for (size_t f : {0, 1}) {
            const auto [x, y] = onScreen(script.recorded.at(f), t < 0.5f ? Vector3{-5.9f, -0.6f, -1.5f - 8 * t} : Vector3{-5.9f + 8.8f * (t - 0.5f), -0.6f, -5.52f}, 800, 600);
            const size_t i = size_t(y) * 800 + size_t(x), d = t < 0.5f ? 1 : 800;
            const Picture& p = script.recorded[f].beforeHud;
            edge[f][0] += gap(p, i - d, p, i + d), edge[f][1] += (gap(p, i - 5 * d, p, i - 3 * d) + gap(p, i + 3 * d, p, i + 5 * d)) / 2.0;
        }
        const FrameRecord &level = script.recorded.at(2), &deep = script.recorded.at(3);
        const auto [x, y] = onScreen(level, level.eye + Vector3{(t < 0.5f ? 0.3f : 1.1f) + 1.4f * std::fmod(t, 0.5f), -0.6f - level.eye.y, t < 0.5f ? -1.6f : -3.5f}, 800, 600);
        floor[t >= 0.5f] += gap(level.beforeHud, size_t(y) * 800 + size_t(x), deep.beforeHud, size_t(y) * 800 + size_t(x)) / 500.0;
    }
    for (size_t f : {0, 1}) EXPECT_LT(edge[f][0], 1.2 * edge[f][1]) << "the slab's edge shows in frame " << f << ": " << edge[f][0] << " against " << edge[f][1];
    // Summed along the line, the clean dark water hides a step in a few bands of reflected cloud. So along the side
    // wall, band by band of 10 rows: the step from the far sea to the water, less what the slope of the picture on
    // either side (a cloud's own shading) makes of it, keeps within a level and a half of the same measure 6 pixels
    // to either side, and within half a level on the whole. (Near the horizon, the far wall's pictures change too
    // much from row to row for this measure.)
    std::map<std::pair<size_t, int>, std::array<double, 4>> bands;  // frame, row / 10: pixels, steps at the edge, 6 left, 6 right
    std::set<size_t> seen[2];
    for (float z = -1.365f; z > -5.52f; z -= 0.0005f)  // from the bottom row of the picture
        for (size_t f : {0, 1}) {
            const auto [x, y] = onScreen(script.recorded.at(f), {-5.9f, -0.6f, z}, 800, 600);
            const size_t i = size_t(y) * 800 + size_t(x);
            if (!seen[f].insert(i).second) continue;
            const Picture& p = script.recorded[f].beforeHud;
            auto step = [&](size_t at) { return 1.5 * (grey(p, at + 1) - grey(p, at - 1)) - 0.5 * (grey(p, at + 3) - grey(p, at - 3)); };
            auto& band = bands[{f, y / 10}];
            band[0] += 1, band[1] += step(i), band[2] += step(i - 6), band[3] += step(i + 6);
        }
    ASSERT_GT(bands.size(), 30u);
    double whole[2][2] = {};  // pixels, steps along the whole line
    for (const auto& [key, band] : bands) {
        const double step = band[1] / band[0], beside = std::max(std::abs(band[2]), std::abs(band[3])) / band[0];
        whole[key.first][0] += band[0], whole[key.first][1] += band[1];
        std::printf("BAND f%zu row %d n %.0f step %+.2f beside %.2f\n", key.first, key.second * 10, band[0], step, beside);
        EXPECT_TRUE(band[0] < 5 || std::abs(step) < 1.5 + beside)
            << "the side wall's edge steps in frame " << key.first << " in rows " << key.second * 10 << "+: " << step << " against " << beside;
    }
    for (size_t f : {0, 1}) EXPECT_LT(std::abs(whole[f][1] / whole[f][0]), 0.5) << "the side wall's edge steps in frame " << f << " on the whole";
    EXPECT_TRUE(floor[0] > 4 && floor[1] < 1.5) << "the floor near " << floor[0] << ", far " << floor[1];
    EXPECT_EQ(contrast.size(), 54u) << "every HUD text";
    for (const auto& [name, ratio] : contrast) EXPECT_GE(ratio, 3.0) << name << " over white";
}
