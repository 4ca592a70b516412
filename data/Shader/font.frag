#version 330 core
// The atlas is light glyphs on black with no alpha channel: the brightness
// becomes the alpha, so the additive blend adds the glyph and nothing of the
// black background.

in vec2 texCoord;

uniform sampler2D colorTexture;

out vec4 fragColor;

void main() {
    vec3 glyph = texture(colorTexture, texCoord).rgb;
    fragColor = vec4(glyph, max(glyph.r, max(glyph.g, glyph.b)));
}
