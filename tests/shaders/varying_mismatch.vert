#version 330 core
// Writes "tint" as a vec2; the matching fragment shader reads it as a vec3.
out vec2 tint;
void main() {
    tint = vec2(1.0, 0.5);
    gl_Position = vec4(0.0, 0.0, 0.0, 1.0);
}
