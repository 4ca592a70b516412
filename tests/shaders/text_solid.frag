#version 330 core
// A fixed colour at half weight, whatever the atlas coordinate, so that
// blending can be measured exactly. The coordinate is still read so that
// "uvs" stays an active attribute.
in vec2 atlasCoordinate;
out vec4 fragColor;
void main() {
    float keep = atlasCoordinate.x > -1000.0 ? 1.0 : 0.0;
    fragColor = vec4(0.4, 0.2, 0.8, 0.5) * keep;
}
