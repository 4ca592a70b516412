#version 330 core
out vec4 fragColor;
vec4 shade() {
    return vec4(1.0);
}
