#version 330 core
// Declares a second output first, so that only an explicit binding puts
// fragColor into colour number 0.
out vec4 decoy;
out vec4 fragColor;
void main() {
    decoy = vec4(1.0, 0.0, 0.0, 1.0);
    fragColor = vec4(0.0, 1.0, 0.0, 1.0);
}
