#version 330 core
// Shadow pass: positions seen from the light.

in vec3 position;

uniform mat4 depthMVP;
uniform mat4 M;

void main() {
    gl_Position = depthMVP * M * vec4(position, 1.0);
}
