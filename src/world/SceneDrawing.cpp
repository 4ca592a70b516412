#include "world/SceneDrawing.h"

#include "geometry/SceneObject.h"
#include "geometry/Terrain.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "world/DisplaySettings.h"
#include "world/World.h"

#include "platform/GL.h"

#include <cmath>

namespace {

// The light's distance from the y axis, which its turn keeps: that of its start (2, 2, 2).
constexpr double kLightRadius = 2.8284271247461903;
constexpr double kPlusTopY = 0.61;       // the plus turns down at this model y
constexpr double kPlusBottomY = -0.1;    // and up again here
constexpr float kLightDegreesPerSecond = 20.0f;
const Vector3 kSkyLightPosition{1000.0f, 1000.0f, 1000.0f};
const Vector3 kSkyAmbient{0.9f, 0.9f, 0.9f};
const Vector3 kSkySpecular{0.0f, 0.0f, 0.0f};

void useProgram(ShaderProgram* program) { glUseProgram(program->programHandle); }

GLint location(ShaderProgram* program, const char* name) {
    return glGetUniformLocation(program->programHandle, name);
}

void setVector(ShaderProgram* program, const char* name, const Vector3& v) {
    glUniform3f(location(program, name), v.x, v.y, v.z);
}

void setLighting(ShaderProgram* program, const Vector3& light, const Vector3& ambient,
                 const Vector3& specular) {
    setVector(program, "lightPosition", light);
    setVector(program, "ambientPercentage", ambient);
    setVector(program, "specularPercentage", specular);
}

// Colour texture on unit 0 and the model matrix; the mesh draws itself.
void drawObject(ShaderProgram* program, SceneObject* object, Texture* color) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, color->textureHandle);
    glUniform1i(location(program, "colorTexture"), 0);
    glUniformMatrix4fv(location(program, "M"), 1, GL_FALSE, object->model.data());
    object->draw();
}

void drawSphere() {
    ShaderProgram* program = world.normalMappingProgram;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, world.groundTexture->textureHandle);
    glUniform1i(location(program, "colorTexture"), 0);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, world.groundNormalTexture->textureHandle);
    glUniform1i(location(program, "normalTexture"), 1);
    glUniformMatrix4fv(location(program, "M"), 1, GL_FALSE, world.sphereMesh->model.data());
    world.sphereMesh->draw();
}

void drawTerrain() {
    ShaderProgram* program = world.basicProgram;
    Terrain* terrain = world.terrain;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, world.rockTexture->textureHandle);
    glUniform1i(location(program, "colorTexture"), 0);
    glUniformMatrix4fv(location(program, "M"), 1, GL_FALSE, terrain->model.data());
    drawTerrainGrid(*terrain);
}

// The sky box is lit almost flat from far away, then the world's light is restored.
void drawSky() {
    ShaderProgram* program = world.basicProgram;
    setLighting(program, kSkyLightPosition, kSkyAmbient, kSkySpecular);
    drawObject(program, world.skyMesh, world.skyTexture);
    setLighting(program, world.lightPosition, world.ambientPercentage, world.specularPercentage);
}

void spinAndBob(double dt) {
    Vector3 up{0.0f, 1.0f, 0.0f};
    world.plusMesh->rotate(dt, up);
    world.plusShadowMesh->rotate(dt, up);

    const float d = static_cast<float>(dt);
    Vector3 step{0.0f, world.plusMovingDown ? -d : d, 0.0f};
    world.plusMesh->translate(dt, step);
    world.plusShadowMesh->translate(dt, step);

    const double y = static_cast<double>(world.plusMesh->model.m[3][1]);
    if (!world.plusMovingDown && y >= kPlusTopY) world.plusMovingDown = true;
    else if (world.plusMovingDown && y <= kPlusBottomY) world.plusMovingDown = false;
}

double distanceFromYAxis(const Vector3& v) { return std::hypot(static_cast<double>(v.x), static_cast<double>(v.z)); }

void turnLight(double dt) {
    world.lightPosition = turnedLight(world.lightPosition, dt, kLightRadius);
    for (ShaderProgram* program :
         {world.basicProgram, world.transparentProgram, world.normalMappingProgram}) {
        useProgram(program);
        setVector(program, "lightPosition", world.lightPosition);
    }
}

}  // namespace

void drawScene() {
    useProgram(world.normalMappingProgram);
    drawSphere();
    useProgram(world.basicProgram);
    drawObject(world.basicProgram, world.plusMesh, world.carpetTexture);
    drawTerrain();
    drawSky();
}

void drawReflectionScene() {
    useProgram(world.basicProgram);
    drawObject(world.basicProgram, world.plusMesh, world.carpetTexture);
    drawTerrain();
    drawSky();
    useProgram(world.normalMappingProgram);
    drawSphere();
}

Vector3 turnedLight(const Vector3& light, double dt, double radius) {
    const float angle = static_cast<float>(dt) * kLightDegreesPerSecond;
    const Matrix4 rotation = rotateBy(Matrix4(), angle, {0.0f, 1.0f, 0.0f});
    Vector3 turned = transformDirection(rotation, light);
    const double now = distanceFromYAxis(turned);
    if (now == 0.0) return turned;
    // Formed in double: the correction is far below a float's last digit.
    turned.x = static_cast<float>(turned.x * (radius / now));
    turned.z = static_cast<float>(turned.z * (radius / now));
    return turned;
}

void updateWorld(double dt) {
    world.cube->update(dt);
    world.mapMesh->update(dt);
    spinAndBob(dt);
    if (displaySettings.lightRotationEnabled) turnLight(dt);
}
