#pragma once
// Start-up, the frame loop and shutdown. Returns 0 after a normal shutdown;
// every start-up failure ends the process through fatalError instead.

#include "app/Camera.h"
#include "app/RenderPasses.h"

struct GLFWwindow;

int runGame();

// The scene the frame loop draws, for window's current context at
// windowWidth x windowHeight: the world, the frame-counter digits and the
// render targets, then the clear colour and viewport. The benchmark builds
// the same one. destroyScene frees it all.
void createScene(GLFWwindow* window);
void destroyScene();
// The same scene for a framebuffer of width x height pixels (both above 0):
// the projection, the HUD's places, the reflection target and the viewport.
void resizeScene(int width, int height);

// What the passes need of this frame, from the camera after the frame's rule
// steps (its viewMatrix already updated).
FrameView frameViewOf(const Camera& camera, const CameraVectors& vectors, double frameTime);
