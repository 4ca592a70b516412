#version 330 core
// The texture on unit 0 read at one fixed coordinate.
uniform sampler2D colorTexture;
uniform vec2 at;
out vec4 fragColor;
void main() {
    fragColor = texture(colorTexture, at);
}
