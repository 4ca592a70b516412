#pragma once
// Per-frame work on the World: the two draw routines of the lit, opaque
// objects and the animation step. The caller has bound the target
// framebuffer, set the viewport and GL state, and uploaded the per-pass
// uniforms ("VP", "V", "depthBiasMVP", "shadowMap", "enableDiscard"); these
// routines upload only what belongs to each object ("M", the samplers and
// the sky box's lighting override) and change no other state.

#include "math/Vector.h"

// Sphere, plus, terrain, sky box. Ends with basicProgram current, unit 0 active.
void drawScene();

// Plus, terrain, sky box, sphere. Ends with normalMappingProgram current, unit 1 active.
void drawReflectionScene();

// Spins and bobs the plus (and its shadow copy) and, when enabled, turns the
// light. Makes no GL call unless the light turns.
void updateWorld(double dt);

// The light after one frame's turn about the world y axis, 20 degrees a
// second, set back to radius from that axis: the turn keeps the distance, and
// the rounding of many small turns must not change it. No GL.
Vector3 turnedLight(const Vector3& light, double dt, double radius);
