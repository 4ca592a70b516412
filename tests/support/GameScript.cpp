#include "support/GameScript.h"

#include "app/Camera.h"
#include "app/Game.h"
#include "app/RenderPasses.h"
#include "geometry/Cube.h"
#include "geometry/Mesh.h"
#include "geometry/Terrain.h"
#include "gpu/ShaderProgram.h"
#include "gpu/Text.h"
#include "gpu/Texture.h"
#include "world/World.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

// The library's own definition of an entry point this file stands in for.
#define REAL(name) (reinterpret_cast<decltype(&name)>(dlsym(RTLD_NEXT, #name)))

namespace {

enum Kind { kPrograms, kObjects, kTextures, kTargets, kKinds };

struct DrawRecord {
    std::string target, program, object;
    std::map<std::string, std::string> uniforms;  // but the matrices; "in": the vertex inputs
    std::map<std::string, Matrix4> matrices;
};

// Where the script has got to; reset by every play().
struct Playing {
    size_t frame = 0;      // swaps so far
    bool inFrame = false;  // from the frame's first clear to its swap
    double cursorX = 0.0, cursorY = 0.0;
    std::map<int, int> hints;
    std::map<GLuint, std::string> names[kKinds];
    std::map<std::string, Matrix4> models;  // as the frame's first draw found them
    Vector3 light;
    std::vector<DrawRecord> draws;
    std::vector<unsigned char> beforeHud;
    std::string title;
    GLFWwindow* window = nullptr;
    int width = 0, height = 0;       // the window's size as the script has it
    bool focused = true;
    size_t desktopFrame = SIZE_MAX;  // the frame whose desktop events were delivered
    GLFWkeyfun keyCallback = nullptr;
    GLFWframebuffersizefun sizeCallback = nullptr;
    GLFWwindowfocusfun focusCallback = nullptr;
    GLFWwindowiconifyfun iconifyCallback = nullptr;
    GLFWcursorenterfun enterCallback = nullptr;
} g;

GameScript* g_script = nullptr;

const ScriptedFrame& current() { return g_script->frames[std::min(g.frame, g_script->frames.size() - 1)]; }

void GLAPIENTRY onDebugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void*) {
    if (type == GL_DEBUG_TYPE_ERROR) g_script->glErrors.push_back(message);
}

// Shader sources reach GL with line feeds alone, whatever the files hold.
PFNGLSHADERSOURCEPROC g_shaderSource = nullptr;
void GLAPIENTRY checkShaderSource(GLuint shader, GLsizei count, const GLchar* const* text, const GLint* lengths) {
    for (GLsizei i = 0; i < count; ++i)
        if (std::string(text[i], lengths && lengths[i] >= 0 ? size_t(lengths[i]) : std::strlen(text[i])).find('\r') != std::string::npos)
            g_script->glErrors.push_back("a shader source reached GL with a carriage return");
    g_shaderSource(shader, count, text, lengths);
}

std::string numbers(const float* values, int count) {
    std::string text;
    char number[32];
    for (int i = 0; i < count; ++i) text += (std::snprintf(number, sizeof number, "%s%g", i ? "," : "", double(values[i])), number);
    return text;
}

// Every HUD text as "GEWONNEN at 177,400 size 60 rim 3.75": its string read back from the atlas cells
// (code = column + 16 x row, signed), its first cell's lower-left corner and size, and how far the
// rim's first copy lies right of the text.
std::string describeText(const Text& text) {
    std::string line;
    for (size_t k = 0; k + 5 < size_t(text.cellVertices); k += 6)
        line += static_cast<char>(std::lround(text.uvs[k].x * 16) + 16 * std::lround(text.uvs[k].y * 16));
    const Vector2 top = text.positions.at(0), bottom = text.positions.at(1);
    const float rim = text.positions.at(size_t(text.cellVertices) + 1).x - bottom.x;
    return line + " at " + std::to_string(std::lround(bottom.x)) + "," + std::to_string(std::lround(bottom.y)) + " size " +
           std::to_string(std::lround(top.y - bottom.y)) + " rim " + numbers(&rim, 1);
}

void nameWorld() {
    for (auto [p, name] : {std::pair{world.basicProgram, "basic"}, {world.fontProgram, "font"}, {world.transparentProgram, "transparent"},
                           {world.normalMappingProgram, "normalMapping"}, {renderTargets.depthProgram, "depth"}, {renderTargets.passProgram, "pass"}})
        g.names[kPrograms][p->programHandle] = name;
    for (auto [o, name] : {std::pair<SceneObject*, const char*>{world.cube, "cube"}, {world.waterMesh, "water"}, {world.mapMesh, "map"},
                           {world.skyMesh, "sky"}, {world.plusMesh, "plus"}, {world.sphereMesh, "sphere"}, {world.plusShadowMesh, "plusShadow"},
                           {world.sphereShadowMesh, "sphereShadow"}})
        g.models[name] = o->model, g.names[kObjects][dynamic_cast<Mesh*>(o) ? dynamic_cast<Mesh*>(o)->vao : dynamic_cast<Cube*>(o)->vao] = name;
    for (auto [t, name] : {std::pair{world.terrain, "terrain"}, {renderTargets.shadowTerrain, "shadowTerrain"}})
        g.models[name] = t->model, g.names[kObjects][t->vao] = name;
    std::vector<std::pair<Text*, std::string>> texts = {
        {world.wonText, "won"}, {world.restartText, "restart"}, {world.gameOverText, "gameOver"}, {world.livesText1, "lives1"},
        {world.livesText2, "lives2"}, {world.livesText3, "lives3"}, {world.samplingNearestText, "samplingNearest"},
        {world.samplingLinearText, "samplingLinear"}, {world.mipmapOffText, "mipmapOff"}, {world.mipmapNearestText, "mipmapNearest"},
        {world.mipmapLinearText, "mipmapLinear"}, {world.transparencyOnText, "transparencyOn"},
        {world.transparencyOffText, "transparencyOff"}, {world.framesText, "frames"}};
    for (int i = 0; i < 40; ++i) texts.push_back({world.frameDigitTexts[i], "digit" + std::to_string(i)});
    for (const auto& [text, name] : texts)
        g.names[kObjects][text->vao] = name, g_script->hudTexts[name] = text, g_script->texts[name] = describeText(*text);
    for (auto [t, name] : {std::pair{world.fontTexture, "font"}, {world.rockTexture, "rock"}, {world.brickNormalTexture, "brickNormal"},
                           {world.skyTexture, "sky"}, {world.waterColorTexture, "waterColor"}, {world.waterNormalTexture, "waterNormal"},
                           {world.waterDudvTexture, "waterDudv"}, {world.carpetTexture, "carpet"}, {world.groundTexture, "ground"},
                           {world.groundNormalTexture, "groundNormal"}})
        g.names[kTextures][t->textureHandle] = name;
    g.names[kTextures][renderTargets.shadowDepthTexture] = g.names[kTargets][renderTargets.shadowFramebuffer] = "shadow";
    g.names[kTextures][renderTargets.reflectionColorTexture] = g.names[kTargets][renderTargets.reflectionFramebuffer] = "reflection";
    g.names[kTargets][0] = "screen";
}

std::string nameOf(Kind kind, GLint name) {
    const auto found = g.names[kind].find(static_cast<GLuint>(name));
    return found != g.names[kind].end() ? found->second : "#" + std::to_string(name);
}

GLint integer(GLenum what) {
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
}

std::vector<unsigned char> screenPixels() {
    std::vector<unsigned char> rgba(static_cast<size_t>(windowWidth) * windowHeight * 4);
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// The target, the switches, every uniform of the current program and its vertex inputs at a draw call.
void recordDraw() {
    if (!g_script || !g.inFrame) return;
    if (g.draws.empty()) nameWorld(), g.light = world.lightPosition;
    DrawRecord& draw = g.draws.emplace_back();
    GLint viewport[4], polygon[2];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    const GLint source = integer(GL_BLEND_SRC_ALPHA), destination = integer(GL_BLEND_DST_ALPHA);
    draw.target = nameOf(kTargets, integer(GL_DRAW_FRAMEBUFFER_BINDING)) + " " + std::to_string(viewport[2]) + "x" + std::to_string(viewport[3]) +
                  (glIsEnabled(GL_DEPTH_TEST) ? " depth" : "") +
                  (!glIsEnabled(GL_CULL_FACE) ? "" : integer(GL_CULL_FACE_MODE) == GL_BACK ? " cull" : " cullfront") +
                  (!glIsEnabled(GL_BLEND) ? "" : source == GL_SRC_ALPHA && destination == GL_ONE ? " blend=add"
                                              : source == GL_SRC_ALPHA && destination == GL_ONE_MINUS_SRC_ALPHA ? " blend=alpha"
                                              : source == GL_ZERO && destination == GL_ONE_MINUS_SRC_ALPHA ? " blend=darken" : " blend=other") +
                  (polygon[0] == GL_LINE ? " lines" : "");
    const GLuint program = static_cast<GLuint>(integer(GL_CURRENT_PROGRAM));
    draw.program = nameOf(kPrograms, static_cast<GLint>(program));
    draw.object = nameOf(kObjects, integer(GL_VERTEX_ARRAY_BINDING));
    if (draw.program == "font" && g_script->keepPixels && g.beforeHud.empty()) g.beforeHud = screenPixels();
    GLint count = 0, size = 0, value = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[128];
        GLenum type = 0;
        float values[16];
        glGetActiveUniform(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        const GLint location = glGetUniformLocation(program, name);
        if (type == GL_FLOAT_MAT4) {
            glGetUniformfv(program, location, draw.matrices[name].data());
        } else if (type == GL_INT || type == GL_SAMPLER_2D || type == GL_SAMPLER_2D_SHADOW) {  // a sampler as "unit:texture"
            glGetUniformiv(program, location, &value);
            draw.uniforms[name] = std::to_string(value);
            if (type == GL_INT) continue;
            const GLint active = integer(GL_ACTIVE_TEXTURE);
            glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + value));
            draw.uniforms[name] += ":" + nameOf(kTextures, integer(GL_TEXTURE_BINDING_2D));
            glActiveTexture(static_cast<GLenum>(active));
        } else {
            glGetUniformfv(program, location, values);
            draw.uniforms[name] = numbers(values, type == GL_FLOAT_VEC4 ? 4 : type == GL_FLOAT_VEC3 ? 3 : type == GL_FLOAT_VEC2 ? 2 : 1);
        }
    }
    // The vertex inputs in name order: components per vertex, and the input whose buffer one shares.
    std::map<GLint, std::string> buffers;
    std::map<std::string, std::string> inputs;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[64];
        GLenum type = 0;
        GLint enabled = 0, components = 0, buffer = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        const GLuint location = static_cast<GLuint>(glGetAttribLocation(program, name));
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_SIZE, &components);
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
        inputs[name] = !enabled ? "off" : std::to_string(components) + (buffers.count(buffer) ? "=" + buffers[buffer] : "");
        buffers.emplace(buffer, name);
    }
    for (const auto& [name, components] : inputs) draw.uniforms["in"] += (draw.uniforms["in"].empty() ? "" : ",") + name + ":" + components;
}

// The eye and axes of a view matrix made by lookAt.
void axesOf(const Matrix4& v, Vector3& eye, Vector3& direction, Vector3& right, Vector3& up) {
    right = {v.m[0][0], v.m[1][0], v.m[2][0]};
    up = {v.m[0][1], v.m[1][1], v.m[2][1]};
    direction = Vector3{-v.m[0][2], -v.m[1][2], -v.m[2][2]};
    eye = right * -v.m[3][0] + up * -v.m[3][1] + direction * v.m[3][2];
}

// Each draw on one line: target, program, object, then each uniform that changed since
// the program's last draw of the frame, a matrix by the name of the one it matches.
void finishFrame() {
    FrameRecord& frame = g_script->recorded.emplace_back();
    frame.title = g.title;
    frame.models = g.models;
    Matrix4 view(0.0f);
    for (const DrawRecord& draw : g.draws) {
        if (draw.program == "basic" && draw.target.rfind("screen", 0) == 0) view = draw.matrices.at("V");
        if (draw.program == "font" && draw.target.find("darken") == std::string::npos) frame.hud.push_back(draw.object);
    }
    axesOf(view, frame.eye, frame.direction, frame.right, frame.up);
    Camera camera;  // the angles of the view, for the camera's own right vector
    camera.horizontalAngle = static_cast<float>(std::atan2(frame.direction.x, frame.direction.z));
    camera.verticalAngle = static_cast<float>(std::asin(frame.direction.y));
    const Matrix4 projection = cameraProjection(windowWidth, windowHeight), mirror = mirroredView(frame.eye, cameraVectors(camera));
    std::map<std::string, Matrix4> named = g.models;
    named["light"] = lightDepthMVP(g.light);
    named["bias"] = multiply(shadowBias(), named["light"]);
    named["V"] = view, named["VP"] = multiply(projection, view);
    named["mirror"] = mirror, named["mirrorVP"] = multiply(projection, mirror);
    std::map<std::string, std::map<std::string, std::string>> last;  // each program's uniforms at its last draw
    for (const DrawRecord& draw : g.draws) {
        std::map<std::string, std::string> values = draw.uniforms;
        for (const auto& [name, m] : draw.matrices) {
            std::string& value = values[name];
            for (const auto& [candidate, c] : named) {
                bool same = true;
                for (int i = 0; i < 16; ++i) same = same && std::fabs(m.data()[i] - c.data()[i]) <= 1e-4f * std::max(1.0f, std::fabs(c.data()[i]));
                if (same && (value.empty() || candidate == draw.object)) value = candidate;
            }
            if (value.empty()) value = "(" + numbers(m.data(), 16) + ")";
        }
        std::string line = draw.target + " " + draw.program + " " + draw.object + ":";
        for (const auto& [name, value] : values)
            if (last[draw.program][name] != value) line += " " + name + "=" + value;
        last[draw.program] = values;
        frame.draws.push_back(line);
    }
    g.draws.clear();
    if (g_script->keepPixels) frame.beforeHud = std::move(g.beforeHud), frame.shown = screenPixels();
    g.beforeHud.clear();
    if (g_script->atSwap) g_script->atSwap(frame);
}

// The current frame's resize, focus change and minimising, once.
void deliverDesktopEvents() {
    if (!g_script || g.frame >= g_script->frames.size() || g.desktopFrame == g.frame) return;
    g.desktopFrame = g.frame;
    const ScriptedFrame& f = current();
    if (f.width >= 0 && g.sizeCallback) g.sizeCallback(g.window, g.width = f.width, g.height = f.height);
    if (f.focus >= 0 && g.focusCallback) g.focusCallback(g.window, g.focused = f.focus);
    if (f.iconify >= 0 && g.iconifyCallback) g.iconifyCallback(g.window, f.iconify);
    if (f.enter >= 0 && g.enterCallback) g.enterCallback(g.window, f.enter);
}

}  // namespace

int GameScript::play() {
    g = Playing{};
    g_script = this;
    const int status = runGame();
    g_script = nullptr;
    return status;
}

void prepareGameDirectory(const std::string& dir, const std::string& config) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::recursive_directory_iterator(QM_DATA_DIR)) {
        const fs::path to = fs::path(dir) / fs::relative(entry.path(), QM_DATA_DIR);
        if (entry.is_directory()) fs::create_directory(to);
        else if (entry.path().filename() != "config.txt") fs::create_symlink(entry.path(), to);
    }
    std::ofstream(fs::path(dir) / "config.txt") << config;
}

// The entry points the game calls, played by the script while one runs, else passed straight on.
extern "C" {

GLFWwindow* glfwCreateWindow(int w, int h, const char* title, GLFWmonitor* monitor, GLFWwindow* share) {
    if (!g_script) return REAL(glfwCreateWindow)(w, h, title, monitor, share);
    auto hint = [](int name, int otherwise = 0) { return std::to_string(g.hints.count(name) ? g.hints[name] : otherwise); };
    g_script->trace.push_back("window " + std::to_string(w) + "x" + std::to_string(h) + (monitor ? " fullscreen " : " windowed ") +
                              hint(GLFW_CONTEXT_VERSION_MAJOR) + "." + hint(GLFW_CONTEXT_VERSION_MINOR) +
                              (g.hints[GLFW_OPENGL_PROFILE] == GLFW_OPENGL_CORE_PROFILE ? " core" : " any") + " refresh " +
                              hint(GLFW_REFRESH_RATE) + " alpha " + hint(GLFW_ALPHA_BITS, 8));
    REAL(glfwWindowHint)(GLFW_VISIBLE, GLFW_FALSE);
    REAL(glfwWindowHint)(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    if (!(g.window = REAL(glfwCreateWindow)(w, h, title, nullptr, share))) return nullptr;
    g.width = w, g.height = h;
    REAL(glfwMakeContextCurrent)(g.window);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    reinterpret_cast<PFNGLDEBUGMESSAGECALLBACKPROC>(glfwGetProcAddress("glDebugMessageCallback"))(onDebugMessage, nullptr);
    return g.window;
}

void glfwWindowHint(int hint, int value) { REAL(glfwWindowHint)(hint, g.hints[hint] = value); }

void glfwSetWindowTitle(GLFWwindow* window, const char* title) {
    if (g_script && g.inFrame) g.title = title;
    else if (g_script) g_script->trace.push_back(std::string("title ") + title);
    REAL(glfwSetWindowTitle)(window, title);
}

void glfwSetInputMode(GLFWwindow* window, int mode, int value) {
    if (g_script && mode == GLFW_STICKY_KEYS) g_script->trace.push_back(value == GLFW_TRUE ? "sticky keys" : "no sticky keys");
    REAL(glfwSetInputMode)(window, mode, value);
}

// Set once the game's context and its GL entry points are there, before any shader.
GLFWkeyfun glfwSetKeyCallback(GLFWwindow* window, GLFWkeyfun callback) {
    if (g_script && glShaderSource != checkShaderSource) g_shaderSource = glShaderSource, glShaderSource = checkShaderSource;
    return REAL(glfwSetKeyCallback)(window, g.keyCallback = callback);
}

double glfwGetTime() {
    if (!g_script) return REAL(glfwGetTime)();
    return g.frame == 0 && !g.inFrame ? g_script->startTime : g_script->frames[std::min(g.frame - !g.inFrame, g_script->frames.size() - 1)].time;
}

void glfwSetCursorPos(GLFWwindow* window, double x, double y) {
    if (!g_script) return REAL(glfwSetCursorPos)(window, x, y);
    if (!g.inFrame && g.frame == 0) g_script->trace.push_back("cursor " + std::to_string(int(x)) + "," + std::to_string(int(y)));
    g.cursorX = x, g.cursorY = y;
}

void glfwGetCursorPos(GLFWwindow* window, double* x, double* y) {
    g_script ? void((*x = g.cursorX + current().dx, *y = g.cursorY + current().dy)) : REAL(glfwGetCursorPos)(window, x, y);
}

int glfwGetKey(GLFWwindow* window, int key) {
    if (!g_script) return REAL(glfwGetKey)(window, key);
    const bool escape = key == GLFW_KEY_ESCAPE && g.frame + 1 >= g_script->frames.size() && !g_script->closeAtEnd;
    return escape || current().held.count(key) ? GLFW_PRESS : GLFW_RELEASE;
}

void glfwGetFramebufferSize(GLFWwindow* window, int* w, int* h) {
    g_script ? void((*w = g.width, *h = g.height)) : REAL(glfwGetFramebufferSize)(window, w, h);
}

void glfwGetWindowSize(GLFWwindow* window, int* w, int* h) { g_script ? glfwGetFramebufferSize(window, w, h) : REAL(glfwGetWindowSize)(window, w, h); }

int glfwGetWindowAttrib(GLFWwindow* window, int attribute) {
    return g_script && attribute == GLFW_FOCUSED ? g.focused : REAL(glfwGetWindowAttrib)(window, attribute);
}

// The desktop's callbacks reach the game only from the script.
#define SCRIPTED_CALLBACK(setter, type, slot) \
    type setter(GLFWwindow* window, type callback) { return g_script ? std::exchange(g.slot, callback) : REAL(setter)(window, callback); }
SCRIPTED_CALLBACK(glfwSetFramebufferSizeCallback, GLFWframebuffersizefun, sizeCallback)
SCRIPTED_CALLBACK(glfwSetWindowFocusCallback, GLFWwindowfocusfun, focusCallback)
SCRIPTED_CALLBACK(glfwSetWindowIconifyCallback, GLFWwindowiconifyfun, iconifyCallback)
SCRIPTED_CALLBACK(glfwSetCursorEnterCallback, GLFWcursorenterfun, enterCallback)

// GLEW loads as it does, then answers as the script says, as it would on another window system.
GLenum glewInit() {
    const GLenum result = REAL(glewInit)();
    if (!g_script || g_script->glewResult < 0) return result;
    if (g_script->glewMissesAnEntryPoint) glCreateShader = nullptr;
    return static_cast<GLenum>(g_script->glewResult);
}

// A frame that ended without a swap: recorded as one that waited, then the next frame's events come.
void glfwWaitEvents() {
    if (!g_script) return REAL(glfwWaitEvents)();
    REAL(glfwPollEvents)();
    g.draws.clear(), g.inFrame = false, ++g.frame;
    g_script->recorded.emplace_back().waited = true;
    if (g_script->atSwap) g_script->atSwap(g_script->recorded.back());
    deliverDesktopEvents();
}

void glfwPollEvents() {
    REAL(glfwPollEvents)();
    deliverDesktopEvents();
    for (int key : g_script ? current().pressed : std::vector<int>{}) g.keyCallback(nullptr, key, 0, GLFW_PRESS, 0);
}

int glfwWindowShouldClose(GLFWwindow* window) {
    return g_script ? g.frame >= g_script->frames.size() + (g_script->closeAtEnd ? 0 : 2) : REAL(glfwWindowShouldClose)(window);
}

// A resize in the next frame's events resizes the hidden window first, as the server does before it
// tells the game, so that the swap gives the next frame a drawable of that size.
void glfwSwapBuffers(GLFWwindow* window) {
    if (g_script && g.inFrame) finishFrame(), g.inFrame = false, ++g.frame;
    if (g_script && g.frame < g_script->frames.size() && current().width > 0 && current().height > 0)
        REAL(glfwSetWindowSize)(window, current().width, current().height);
    REAL(glfwSwapBuffers)(window);
}

// Names count up from 1, so a sweep over the first thousands finds any left over.
void glfwTerminate() {
    if (g_script && glfwGetCurrentContext()) {
        glUseProgram(0);  // a deleted program lives on while it is current
        g_script->liveNames = 0;
        for (GLuint n = 1; n < 5000; ++n)
            g_script->liveNames += glIsBuffer(n) || glIsTexture(n) || glIsVertexArray(n) || glIsProgram(n) || glIsShader(n) ||
                                   glIsFramebuffer(n) || glIsRenderbuffer(n);
    }
    REAL(glfwTerminate)();
}

void glClear(GLbitfield mask) {
    REAL(glClear)(mask);
    g.inFrame = g_script != nullptr;
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) { recordDraw(), REAL(glDrawElements)(mode, count, type, indices); }

void glDrawArrays(GLenum mode, GLint first, GLsizei count) { recordDraw(), REAL(glDrawArrays)(mode, first, count); }

}  // extern "C"
