#version 330 core
// Sunlight with soft shadows for the terrain and the plus, and the sky for
// the sky box. The light is a sun shining from lightPosition towards the
// origin, the same direction the shadow map looks along. Colours are lit in
// linear space. The light itself varies slowly and comes from the vertex
// shader; a fragment reads the texture and the shadow map and puts them together.

in vec2 texCoord;
in vec3 toEye;
in vec3 shadowCoord;
in vec3 fade;
in vec3 direct;
in vec3 highlight;
in vec4 veil;

uniform int enableDiscard;
uniform sampler2DShadow shadowMap;
uniform sampler2D colorTexture;
uniform vec3 ambientPercentage;

out vec4 fragColor;

// The mirror plane lies this far under the water's surface.
const float MIRROR_DEPTH = 0.01;
const vec3 FILL_COLOR = vec3(0.86, 0.95, 1.08);
const vec3 SAND_COLOR = vec3(0.80, 0.70, 0.50);
// What the sky box shows below the water line: the colour deep ground fades into.
const vec3 DEEP_SEA_COLOR = vec3(0.04, 0.22, 0.29);
const float PI = 3.14159265;

// Gamma 2 instead of 2.2: a square and a square root instead of two powers.
vec3 toLinear(vec3 c) { return c * c; }
vec3 toDisplay(vec3 c) { return sqrt(c); }

// The sky picture is a panorama: u round the horizon (0.5 along -z, the
// wrap along +z), v from straight down to straight up.
vec2 skyCoordinate(vec3 d) {
    return vec2(0.5 + atan(d.x, -d.z) * (0.5 / PI), 0.5 + asin(clamp(d.y, -1.0, 1.0)) * (1.0 / PI));
}

void main() {
    // Derivatives first, while every fragment of the quad is still running.
    vec2 texCoordDx = dFdx(texCoord);
    vec2 texCoordDy = dFdy(texCoord);

    // A fully ambient object (the sky box) is the backdrop. It shows the sky
    // in the direction from the eye, as if infinitely far away: no parallax,
    // no corners. The picture is magnified at any usual window size, so it
    // is read from its top level, which has no seam where it wraps round.
    bool backdrop = ambientPercentage.g > 0.6;
    // The reflection shows only what lies above the water; the backdrop is kept whole.
    if (enableDiscard == 1 && !backdrop && fade.y > MIRROR_DEPTH) discard;
    vec2 coord = backdrop ? skyCoordinate(-normalize(toEye)) : texCoord;
    vec2 gradX = backdrop ? vec2(0.0) : texCoordDx;
    vec2 gradY = backdrop ? vec2(0.0) : texCoordDy;
    vec3 texel = textureGrad(colorTexture, coord, gradX, gradY).rgb;
    if (backdrop) {
        // Below the water line the box is seen through the water: deep sea.
        // The mirrored eye of the reflection sees the box whole.
        bool sunk = fade.y > 0.0 && enableDiscard == 0;
        fragColor = vec4(sunk ? DEEP_SEA_COLOR : texel, 1.0);
        return;
    }

    vec3 albedo = mix(toLinear(texel), toLinear(SAND_COLOR) * (0.7 + 0.6 * texel.g), fade.x);
    // One tap, which the linear filter turns into a weighted 2x2 comparison.
    float visibility = mix(textureLod(shadowMap, shadowCoord, 0.0), 1.0, fade.z);
    vec3 color = albedo * (ambientPercentage * FILL_COLOR + direct * visibility) + highlight * visibility;
    fragColor = vec4(toDisplay(color * veil.a + veil.rgb), 1.0);
}
