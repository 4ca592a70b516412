#version 330 core
out vec4 fragColor;
void main() {
    fragColor = vec4(undeclaredValue, 1.0);
}
