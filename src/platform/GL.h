#pragma once
// The one way the game includes OpenGL. On the desktop that is GLEW's
// loader for OpenGL 3.3 core. In a browser it is WebGL 2 (OpenGL ES 3.0),
// with the few calls and formats it lacks supplied by platform/web/WebGL.h,
// so that the code above calls OpenGL 3.3 the same way on both.

#ifdef __EMSCRIPTEN__
#include "platform/web/WebGL.h"
#else
#include <GL/glew.h>
#endif
