#pragma once
// Plays the game's own start-up and frame loop (runGame) in this process,
// with GLFW's clock, keys, cursor and buffer swap driven by a script, and
// records each frame: every draw call with its target, GL state, uniforms
// and vertex inputs, named after the world's objects, programs and textures.
// gl_tests defines these GLFW and GL entry points itself, so the game's calls
// reach them first; with no script playing they pass every call straight on.
// The window the game asks for opens hidden and windowed; the desktop's
// resizes, focus changes and minimising reach the game only from the script.

#include "math/Matrix4.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class Text;

struct ScriptedFrame {
    double time = 0.0;         // what glfwGetTime answers during the frame
    std::set<int> held;        // keys down (GLFW key codes)
    std::vector<int> pressed;  // keys the key callback hears during the frame's event poll
    int dx = 0, dy = 0;        // the cursor's move from where the game last put it
    int width = -1, height = -1;  // the desktop resizes the framebuffer in the frame's event poll (0 x 0: minimised on some systems)
    int focus = -1;               // ... 0 gives the focus to another window, 1 gives it back (-1: none of these)
    int iconify = -1;             // ... 1 minimises the window, 0 restores it
    int enter = -1;               // ... 1 brings the pointer over the window
};

struct FrameRecord {
    std::string title;                 // the window title the frame set
    // Each draw call: target, viewport and switches on, program, object, then
    // what changed since the program's last draw of the frame, as name=value
    // in name order: each uniform, a sampler as "unit:texture", a matrix by
    // its name: an object's model, "light" and "bias" (the shadow map and its
    // lookup), "V", "VP", "mirror" and "mirrorVP" (the camera mirrored in the
    // water plane); and "in", the vertex inputs with their components, "=x"
    // for one fed from input x's buffer.
    std::vector<std::string> draws;
    std::map<std::string, Matrix4> models;  // every object's model as the frame began
    std::vector<std::string> hud;      // the objects the font program drew, in order, less their darkening rims
    Vector3 eye, direction, right, up; // of the camera view the final pass drew with
    std::vector<unsigned char> beforeHud, shown;  // RGBA rows from the bottom, when pixels are kept
    bool waited = false;               // the game drew nothing and waited for events instead
};

struct GameScript {
    double startTime = 0.0;            // glfwGetTime before the first frame
    std::vector<ScriptedFrame> frames; // Escape is held in the last, unless closeAtEnd
    bool closeAtEnd = false;           // then the window is closed after it
    bool keepPixels = false;
    int glewResult = -1;               // what glewInit answers after loading (-1: its own answer)
    bool glewMissesAnEntryPoint = false;  // ... and glCreateShader is left unloaded
    std::function<void(const FrameRecord&)> atSwap;  // as each frame is recorded, the world still there

    // Before the first frame: "window 800x600 windowed 3.3 core refresh 60 alpha 0",
    // "sticky keys", "title Quellmoor", "cursor 400,300", as they happened.
    std::vector<std::string> trace;
    std::vector<FrameRecord> recorded;
    std::map<std::string, std::string> texts;  // every HUD text: "GEWONNEN at 177,400 size 60 rim 3.75"
    std::map<std::string, Text*> hudTexts;     // ... and the object that draws it
    std::vector<std::string> glErrors;         // the driver's messages
    int liveNames = -1;                        // GL names still alive when the game shut down

    // runGame() under this script; its result. A game that outlives the
    // script is closed two frames later. The game keeps its frame loop's
    // state for the life of the process, so a process plays once.
    int play();
};

// Fills dir for the game: config.txt, and a link to every data file.
void prepareGameDirectory(const std::string& dir, const std::string& config);
