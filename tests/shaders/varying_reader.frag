#version 330 core
in vec3 tint;
out vec4 fragColor;
void main() {
    fragColor = vec4(tint, 1.0);
}
