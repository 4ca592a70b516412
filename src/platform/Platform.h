#pragma once
// Everything that differs between the desktop and the browser, behind one
// small interface with one backend a build: platform/desktop (GLFW, GLEW, a
// console) or platform/web (emscripten's GLFW in a page, WebGL 2). The game
// above it is the same code on both; nothing above this layer asks which
// platform it runs on.
//
// Invariants: the game calls these on its one thread, in the order of its
// start-up and frame loop; watchWindow comes once, after the window's context
// is current, and every later call is about that window.

#include "platform/DataFolder.h"
#include "platform/Desktop.h"

#include <initializer_list>
#include <string>

struct GLFWwindow;

namespace platform {

// Finds the game's data folder and the config file to read (DataFolder.h:
// on the desktop from the working directory, the executable's folder and an
// installed game's places; in a browser the page's packed file system), and
// makes the folder the working directory.
DataFolder enterDataFolder(const char* configName);

// GL's entry points for the current context. False when one that the game
// calls is missing (the desktop's loader); a browser has them all.
bool loadGL();

// Has `desktop` follow what the window system does to `window` from now on
// (size, focus, minimising, the pointer coming over it), with its current
// state filled in. Keys pressed and released between two polls still read
// as pressed once.
void watchWindow(GLFWwindow* window, Desktop& desktop);

// Hands the window system's new events to their callbacks, and so to the
// Desktop; waitEvents does so once something happened, using no processor
// time meanwhile (a paused game).
void pollEvents();
void waitEvents();

// The mouse look's cursor: while `held`, hidden and kept to the window, put
// back wherever putCursor puts it; otherwise a normal cursor. A browser holds
// the pointer only on the player's click, which the page asks for itself.
void holdCursor(GLFWwindow* window, bool held);
void putCursor(GLFWwindow* window, double x, double y);
void readCursor(GLFWwindow* window, double* x, double* y);

// Whether a frame in which Escape was held ends the game. A page cannot
// close itself, and the browser keeps Escape for giving the mouse back.
bool escapeEndsGame();

// Runs step once per frame until it returns false, then returns; in a
// browser each step is one of the page's animation frames, and the game
// never ends, so this never returns there.
void runFrameLoop(bool (*step)());

// GLSL source as written for OpenGL 3.3 core, made ready for this platform's
// compiler (the browser's OpenGL ES 3.0 dialect); unchanged on the desktop.
std::string adaptShaderSource(std::string source);

// After the lines of a fatal message went to standard output: shows them to
// the player where nobody reads a console (the page), or keeps a console
// window open until a key when a person is at a terminal.
void showFatalMessage(std::initializer_list<std::string> lines);

}  // namespace platform
