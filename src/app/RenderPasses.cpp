#include "app/RenderPasses.h"

#include "geometry/Mesh.h"
#include "geometry/Terrain.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "world/SceneDrawing.h"
#include "world/StartupTimes.h"
#include "world/World.h"

RenderTargets renderTargets;

namespace {

constexpr float kMirrorSum = 2.0f * kWaterPlaneY;  // y' = -1.22 - y
constexpr float kTimeScale = 0.01f;
constexpr GLint kShadowUnit = 3;

const float kQuadPositions[18] = {-1, -1, 0, 1, -1, 0, -1, 1, 0, -1, 1, 0, 1, -1, 0, 1, 1, 0};

GLint location(GLuint program, const char* name) { return glGetUniformLocation(program, name); }

void setMatrix(GLuint program, const char* name, const Matrix4& m) {
    glUniformMatrix4fv(location(program, name), 1, GL_FALSE, m.data());
}

// The reflection image's storage at the window's size, its contents undefined.
void sizeReflectionColor() {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, windowWidth, windowHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

void sizeReflectionDepth() { glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, windowWidth, windowHeight); }

void createReflectionTarget() {
    RenderTargets& rt = renderTargets;
    glGenFramebuffers(1, &rt.reflectionFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, rt.reflectionFramebuffer);

    glGenTextures(1, &rt.reflectionColorTexture);
    glBindTexture(GL_TEXTURE_2D, rt.reflectionColorTexture);
    sizeReflectionColor();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    glGenRenderbuffers(1, &rt.reflectionDepthBuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, rt.reflectionDepthBuffer);
    sizeReflectionDepth();
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rt.reflectionDepthBuffer);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, rt.reflectionColorTexture, 0);
    const GLenum drawBuffers[1] = {GL_COLOR_ATTACHMENT0};
    glDrawBuffers(1, drawBuffers);
}

void createShadowTarget() {
    RenderTargets& rt = renderTargets;
    glGenFramebuffers(1, &rt.shadowFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, rt.shadowFramebuffer);

    glGenTextures(1, &rt.shadowDepthTexture);
    glBindTexture(GL_TEXTURE_2D, rt.shadowDepthTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT16, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);

    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, rt.shadowDepthTexture, 0);
    // No colour attachment: without this a framebuffer is incomplete on most drivers.
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
}

void createFullScreenQuad() {
    glGenVertexArrays(1, &renderTargets.fullScreenQuad);
    glBindVertexArray(renderTargets.fullScreenQuad);
    glGenBuffers(1, &renderTargets.fullScreenQuadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, renderTargets.fullScreenQuadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof kQuadPositions, kQuadPositions, GL_STATIC_DRAW);
}

void bindShadowMap(GLuint program) {
    glActiveTexture(GL_TEXTURE0 + kShadowUnit);
    glBindTexture(GL_TEXTURE_2D, renderTargets.shadowDepthTexture);
    glUniform1i(location(program, "shadowMap"), kShadowUnit);
}

void shadowPass(const Matrix4& depthMVP) {
    glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.shadowFramebuffer);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const GLuint program = renderTargets.depthProgram->programHandle;
    glUseProgram(program);
    setMatrix(program, "depthMVP", depthMVP);
    setMatrix(program, "M", world.plusShadowMesh->model);
    world.plusShadowMesh->draw();
    setMatrix(program, "M", renderTargets.shadowTerrain->model);
    drawTerrainGrid(*renderTargets.shadowTerrain);
    setMatrix(program, "M", world.sphereShadowMesh->model);
    world.sphereShadowMesh->draw();
}

void setCamera(GLuint program, const Matrix4& vp, const Matrix4& v) {
    setMatrix(program, "VP", vp);
    setMatrix(program, "V", v);
}

// basicProgram current with the pass's discard switch, shadow map and camera.
void useBasicProgram(GLint enableDiscard, const Matrix4& depthBiasMVP, const Matrix4& vp, const Matrix4& v) {
    const GLuint basic = world.basicProgram->programHandle;
    glUseProgram(basic);
    glUniform1i(location(basic, "enableDiscard"), enableDiscard);
    setMatrix(basic, "depthBiasMVP", depthBiasMVP);
    bindShadowMap(basic);
    setCamera(basic, vp, v);
}

void reflectionPass(const FrameView& view, const Matrix4& depthBiasMVP, const Matrix4& reflectionView,
                    const Matrix4& reflectionVP) {
    glBindFramebuffer(GL_FRAMEBUFFER, renderTargets.reflectionFramebuffer);
    glViewport(0, 0, windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    useBasicProgram(1, depthBiasMVP, reflectionVP, reflectionView);

    const GLuint normalMapping = world.normalMappingProgram->programHandle;
    glUseProgram(normalMapping);
    glUniform1i(location(normalMapping, "enableDiscard"), 1);
    setCamera(normalMapping, reflectionVP, reflectionView);

    const GLuint water = world.transparentProgram->programHandle;
    glUseProgram(water);
    setMatrix(water, "depthBiasMVP", depthBiasMVP);
    bindShadowMap(water);
    setCamera(water, view.cameraVP, view.viewMatrix);

    drawReflectionScene();
}

void finalPass(const FrameView& view, const Matrix4& depthBiasMVP, const Matrix4& reflectionView,
               const Matrix4& reflectionVP) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    useBasicProgram(0, depthBiasMVP, view.cameraVP, view.viewMatrix);

    const GLuint water = world.transparentProgram->programHandle;
    glUseProgram(water);
    setMatrix(water, "depthBiasMVP", depthBiasMVP);
    setMatrix(water, "reflectionViewMatrix", reflectionView);
    setMatrix(water, "reflectionVP", reflectionVP);
    glUniform1f(location(water, "time"), static_cast<float>(view.frameTime * static_cast<double>(kTimeScale)));
    bindShadowMap(water);
    setCamera(water, view.cameraVP, view.viewMatrix);

    const GLuint normalMapping = world.normalMappingProgram->programHandle;
    glUseProgram(normalMapping);
    setCamera(normalMapping, view.cameraVP, view.viewMatrix);

    drawScene();
}

void waterSurface() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const GLuint water = world.transparentProgram->programHandle;
    glUseProgram(water);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, world.waterColorTexture->textureHandle);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, renderTargets.reflectionColorTexture);
    glUniform1i(location(water, "colorTexture"), 0);
    glUniform1i(location(water, "reflectionTexture"), 1);

    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, world.waterNormalTexture->textureHandle);
    glUniform1i(location(water, "normalTexture"), 2);
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_2D, world.waterDudvTexture->textureHandle);
    glUniform1i(location(water, "dudv"), 4);

    setMatrix(water, "M", world.waterMesh->model);
    world.waterMesh->draw();
    glDisable(GL_BLEND);
}

}  // namespace

Matrix4 lightProjection() { return ortho(-10.0f, 10.0f, -10.0f, 10.0f, -10.0f, 20.0f); }

Matrix4 lightDepthMVP(const Vector3& lightPosition) {
    const Matrix4 lightView = lookAt(lightPosition, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    return multiply(multiply(lightProjection(), lightView), Matrix4());
}

Matrix4 shadowBias() {
    Matrix4 bias(0.5f);
    bias.m[3][0] = 0.5f;
    bias.m[3][1] = 0.5f;
    bias.m[3][2] = 0.5f;
    bias.m[3][3] = 1.0f;
    return bias;
}

Matrix4 mirroredView(const Vector3& p, const CameraVectors& vectors) {
    const Vector3& d = vectors.direction;
    const Vector3 eye{p.x, kMirrorSum - p.y, p.z};
    const Vector3 centre{p.x + d.x, kMirrorSum - (p.y + d.y), p.z + d.z};
    const Vector3 up = cross(vectors.right, centre - eye);
    return lookAt(eye, centre, up);
}

void createRenderTargets() {
    createReflectionTarget();
    createShadowTarget();
    createFullScreenQuad();
    {
        StartupStage stage(startupTimes.shaders);
        renderTargets.passProgram = new ShaderProgram("Shader/pass.vert", "Shader/SimpleTexture.frag");
        renderTargets.depthProgram = new ShaderProgram("Shader/depth.vert", "Shader/depth.frag");
    }
    const Matrix4 identity;
    {
        StartupStage stage(startupTimes.terrain);
        renderTargets.shadowTerrain = new Terrain(translateBy(identity, {0.0f, terrainOffsetY, 0.0f}),
                                                  renderTargets.depthProgram, terrainSpacing, terrainHeightScale);
    }
    StartupStage stage(startupTimes.models);
    world.plusShadowMesh = new Mesh(translateBy(scaleBy(identity, {0.2f, 0.2f, 0.2f}), {-2.0f, 5.0f, 15.5f}),
                                    renderTargets.depthProgram, "Models/plus.obj");
    world.sphereShadowMesh = new Mesh(translateBy(scaleBy(identity, {0.4f, 0.4f, 0.4f}), {0.0f, 5.0f, 0.0f}),
                                      renderTargets.depthProgram, "Models/sphere3.obj");
}

void resizeRenderTargets() {
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glBindTexture(GL_TEXTURE_2D, renderTargets.reflectionColorTexture);
    sizeReflectionColor();
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glBindRenderbuffer(GL_RENDERBUFFER, renderTargets.reflectionDepthBuffer);
    sizeReflectionDepth();
}

void destroyRenderTargets() {
    RenderTargets& rt = renderTargets;
    delete rt.shadowTerrain;
    delete rt.depthProgram;
    delete rt.passProgram;
    glDeleteBuffers(1, &rt.fullScreenQuadBuffer);
    glDeleteVertexArrays(1, &rt.fullScreenQuad);
    glDeleteTextures(1, &rt.shadowDepthTexture);
    glDeleteFramebuffers(1, &rt.shadowFramebuffer);
    glDeleteRenderbuffers(1, &rt.reflectionDepthBuffer);
    glDeleteTextures(1, &rt.reflectionColorTexture);
    glDeleteFramebuffers(1, &rt.reflectionFramebuffer);
    rt = RenderTargets{};
}

void renderPasses(const FrameView& view, PassObserver* observer) {
    PassObserver none;
    PassObserver& watch = observer ? *observer : none;
    const Matrix4 depthMVP = lightDepthMVP(world.lightPosition);
    const Matrix4 depthBiasMVP = multiply(shadowBias(), depthMVP);
    const Matrix4 reflectionView = mirroredView(view.playerPosition, view.vectors);
    const Matrix4 reflectionVP = multiply(world.projection, reflectionView);

    watch.begin(FramePass::Shadow);
    shadowPass(depthMVP);
    watch.end(FramePass::Shadow);
    watch.begin(FramePass::Reflection);
    reflectionPass(view, depthBiasMVP, reflectionView, reflectionVP);
    watch.end(FramePass::Reflection);
    watch.begin(FramePass::Final);
    finalPass(view, depthBiasMVP, reflectionView, reflectionVP);
    watch.end(FramePass::Final);
    watch.begin(FramePass::Water);
    waterSurface();
    watch.end(FramePass::Water);
}
