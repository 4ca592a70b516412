#pragma once
// The three passes of a frame: shadow depth from the light into a
// 1024 x 1024 depth texture, the scene seen from the camera mirrored in the
// water plane into a window-sized colour texture, and the final lit,
// shadowed scene with the blended water on top. Back-face culling is
// switched on by the first shadow pass and never off again, so everything
// that must be seen reaches the rasteriser counter-clockwise.
//
// The matrix helpers are GL-free.

#include "app/Camera.h"

#include "platform/GL.h"

class ShaderProgram;
class Terrain;

constexpr int kShadowMapSize = 1024;
constexpr float kWaterPlaneY = -0.61f;

// GL objects private to the passes, made once at start-up.
struct RenderTargets {
    GLuint reflectionFramebuffer = 0;
    GLuint reflectionColorTexture = 0;   // what the mirrored camera sees, RGBA, window size
    GLuint reflectionDepthBuffer = 0;    // its depth renderbuffer
    GLuint shadowFramebuffer = 0;        // depth only, no colour attachment
    GLuint shadowDepthTexture = 0;       // sampled by the lit programs as a shadow sampler
    GLuint fullScreenQuad = 0;           // vertex array of two triangles; nothing draws it
    GLuint fullScreenQuadBuffer = 0;
    ShaderProgram* passProgram = nullptr;   // built, unused
    ShaderProgram* depthProgram = nullptr;  // the shadow pass
    Terrain* shadowTerrain = nullptr;       // the terrain drawn into the shadow map
};

extern RenderTargets renderTargets;

// What the passes need from the frame loop.
struct FrameView {
    double frameTime = 0.0;       // first clock reading of the frame
    Vector3 playerPosition;
    CameraVectors vectors;
    Matrix4 viewMatrix;
    Matrix4 cameraVP;             // projection x viewMatrix
};

// Render targets, the unused quad and pass program, the depth program, the
// shadow terrain and the two shadow-caster meshes (stored in the world).
void createRenderTargets();
// The reflection texture and its depth buffer at the current window size,
// in the same GL names; the active unit's binding is left as it was.
void resizeRenderTargets();
// Deletes what createRenderTargets made except the world's shadow casters.
void destroyRenderTargets();

// The passes of a frame in drawing order; the HUD is drawn after them.
enum class FramePass { Shadow, Reflection, Final, Water, Hud };
constexpr int kFramePassCount = 5;

// Told when each pass begins and ends; the benchmark brackets them with
// timer queries. The default does nothing.
struct PassObserver {
    virtual ~PassObserver() = default;
    virtual void begin(FramePass) {}
    virtual void end(FramePass) {}
};

void renderPasses(const FrameView& view, PassObserver* observer = nullptr);

Matrix4 lightProjection();
// lightProjection x lookAt(light, origin, +y).
Matrix4 lightDepthMVP(const Vector3& lightPosition);
// Maps clip space -1..1 to 0..1 for the shadow-map lookup.
Matrix4 shadowBias();
// The camera mirrored in the plane y = -0.61.
Matrix4 mirroredView(const Vector3& playerPosition, const CameraVectors& vectors);
