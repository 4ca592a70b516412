#include "world/KeyToggles.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "world/DisplaySettings.h"
#include "world/World.h"

#include <GLFW/glfw3.h>

namespace {

void toggleWireframe() {
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    if (mode[0] == GL_LINE) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    else if (mode[0] == GL_FILL) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

void toggleTransparency() {
    displaySettings.showTransparencyInfo = true;
    displaySettings.transparencyEnabled = !displaySettings.transparencyEnabled;
    const GLuint program = world.transparentProgram->programHandle;
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "transparencyMode"), displaySettings.transparencyEnabled ? 1 : 0);
}

}  // namespace

void keyCallback(GLFWwindow*, int key, int, int action, int) {
    if (action != GLFW_PRESS) return;
    switch (key) {
    case GLFW_KEY_F2:
        displaySettings.showFrameCounter = !displaySettings.showFrameCounter;
        break;
    case GLFW_KEY_F3:
        toggleWireframe();
        break;
    case GLFW_KEY_F4:
        displaySettings.showTextureInfo = true;
        if (displaySettings.samplingMode == 0) displaySettings.samplingMode = 1;
        else if (displaySettings.samplingMode == 1) displaySettings.samplingMode = 0;
        applyFilterModes();
        break;
    case GLFW_KEY_F5:
        displaySettings.showTextureInfo = true;
        if (displaySettings.mipmapMode == 0) displaySettings.mipmapMode = 1;
        else if (displaySettings.mipmapMode == 1) displaySettings.mipmapMode = 2;
        else if (displaySettings.mipmapMode == 2) displaySettings.mipmapMode = 0;
        applyFilterModes();
        break;
    case GLFW_KEY_F6:
        displaySettings.lightRotationEnabled = !displaySettings.lightRotationEnabled;
        break;
    case GLFW_KEY_F9:
        toggleTransparency();
        break;
    default:
        break;
    }
}

bool filtersFor(int samplingMode, int mipmapMode, GLint& minFilter, GLint& magFilter) {
    static const GLint kMinFilters[2][3] = {
        {GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR},
        {GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR},
    };
    if (samplingMode < 0 || samplingMode > 1 || mipmapMode < 0 || mipmapMode > 2) return false;
    minFilter = kMinFilters[samplingMode][mipmapMode];
    magFilter = samplingMode == 0 ? GL_NEAREST : GL_LINEAR;
    return true;
}

void applyFilterModes() {
    GLint minFilter = 0, magFilter = 0;
    if (filtersFor(displaySettings.samplingMode, displaySettings.mipmapMode, minFilter, magFilter))
        setTextureFilters(minFilter, magFilter);
}

void setTextureFilters(GLint minFilter, GLint magFilter) {
    const struct {
        Texture* texture;
        int unit;
    } targets[] = {
        {world.rockTexture, 0},        {world.carpetTexture, 0}, {world.waterColorTexture, 0},
        {world.waterNormalTexture, 2}, {world.waterDudvTexture, 4}, {world.groundTexture, 0},
        {world.groundNormalTexture, 1},
    };
    for (const auto& target : targets) {
        glActiveTexture(GL_TEXTURE0 + target.unit);
        glBindTexture(GL_TEXTURE_2D, target.texture->textureHandle);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    }
}
