#pragma once
// The function keys that switch display options while the game runs. Only
// presses count: release and key repeat do nothing. keyCallback is the only
// writer of displaySettings; the movement and game keys belong to the frame
// loop and are not handled here.

#include "platform/GL.h"

struct GLFWwindow;

// GLFW key callback: F2 frame counter, F3 wireframe, F4 sampling, F5 mipmaps,
// F6 turning light, F9 water transparency.
void keyCallback(GLFWwindow* window, int key, int scancode, int action, int mods);

// The filter pair for the current sampling and mipmap modes, applied to the
// seven world textures that follow the switches.
void applyFilterModes();
void setTextureFilters(GLint minFilter, GLint magFilter);

// The (minification, magnification) pair for a sampling mode (0 nearest,
// 1 linear) and a mipmap mode (0 off, 1 nearest, 2 linear); false for any
// other combination.
bool filtersFor(int samplingMode, int mipmapMode, GLint& minFilter, GLint& magFilter);
