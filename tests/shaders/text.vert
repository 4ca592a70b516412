#version 330 core
// Window pixels (origin lower-left, y up) to clip space.
in vec2 position;
in vec2 uvs;
uniform int width;
uniform int height;
out vec2 atlasCoordinate;
void main() {
    vec2 clip = position / vec2(float(width), float(height)) * 2.0 - 1.0;
    gl_Position = vec4(clip, 0.0, 1.0);
    atlasCoordinate = uvs;
}
