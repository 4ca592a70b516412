#version 330 core
// Full-screen quad: positions are already in clip space.

in vec3 position;

out vec2 texCoord;

void main() {
    texCoord = position.xy * 0.5 + 0.5;
    gl_Position = vec4(position, 1.0);
}
