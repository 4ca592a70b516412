#version 330 core
// HUD text: positions are window pixels, origin lower-left, y up.

in vec2 position;
in vec2 uvs;

uniform int width;
uniform int height;

out vec2 texCoord;

void main() {
    vec2 clip = position / vec2(width, height) * 2.0 - 1.0;
    texCoord = uvs;
    gl_Position = vec4(clip, 0.0, 1.0);
}
