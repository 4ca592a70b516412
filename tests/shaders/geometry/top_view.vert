#version 330 core
// Geometry seen from straight above without a camera: x to the right, -z up
// the window. Only "position" and "normal" are declared.
in vec3 position;
in vec3 normal;
out vec3 colour;

void main() {
    colour = abs(normal);
    gl_Position = vec4(position.x, -position.z, 0.0, 1.0);
}
