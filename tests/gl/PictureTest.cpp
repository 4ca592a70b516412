// Small frames of one walk, each compared with another frame of the same run
// at the same clock reading: what each display key does to the picture, both
// ways; what the water hides and shows; shadows, the turning light, the reflection.
#include "app/RenderPasses.h"
#include "geometry/SceneObject.h"
#include "support/GameScript.h"
#include "support/Harness.h"
#include "world/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

constexpr int kWidth = 160, kHeight = 120;
using Picture = std::vector<unsigned char>;  // RGBA rows from the bottom
using Region = std::vector<bool>;            // a flag a pixel

bool differ(const Picture& a, const Picture& b, size_t i) {
    return std::max({std::abs(a.at(4 * i) - b.at(4 * i)), std::abs(a[4 * i + 1] - b[4 * i + 1]), std::abs(a[4 * i + 2] - b[4 * i + 2])}) > 2;
}

// Over the region: the share of its pixels that differ between a and b; given
// channels, the mean of channel c of a less channel d of b, in levels.
double over(const Region& region, const Picture& a, const Picture& b, int c = -1, int d = 0) {
    double sum = 0.0, in = 0.0;
    for (size_t i = 0; i < region.size(); ++i)
        if (region[i]) sum += c < 0 ? differ(a, b, i) : a.at(4 * i + c) - b.at(4 * i + d), ++in;
    return in > 0.0 ? sum / in : 0.0;
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
    const Vector3 v = transformPoint(high.models.at("sphere"), {}) - Vector3{high.eye.x, -1.22f - high.eye.y, high.eye.z};
    const float tanHalf = std::tan(0.5235988f), depth = dot(v, high.direction);
    mirroredSphere.at(size_t((1 + dot(v, high.up) / depth / tanHalf) * kHeight / 2) * kWidth +
                      size_t((1 + dot(v, high.right) / depth / tanHalf * kHeight / kWidth) * kWidth / 2)) = true;
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
