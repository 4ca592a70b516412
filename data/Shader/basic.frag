#version 330 core
// Sunlight with soft shadows for the terrain and the plus, and the sky for
// the sky box. The light is a sun shining from lightPosition towards the
// origin, the same direction the shadow map looks along. Colours are lit in
// linear space. Slowly varying terms come from the vertex shader.

in vec3 worldNormal;
in vec2 texCoord;
in vec3 toEye;
in vec3 shadowCoord;
in vec4 fade;
flat in vec3 toLight;
flat in float farSeaRise;

uniform int enableDiscard;
uniform sampler2DShadow shadowMap;
uniform sampler2D colorTexture;
uniform vec3 ambientPercentage;
uniform vec3 specularPercentage;

out vec4 fragColor;

// The mirror plane lies this far under the water's surface.
const float MIRROR_DEPTH = 0.01;
const vec3 SUN_COLOR = vec3(1.0, 0.93, 0.80);
const float SUN_STRENGTH = 1.25;
const vec3 FILL_COLOR = vec3(0.86, 0.95, 1.08);
const vec3 HAZE_COLOR = vec3(0.40, 0.86, 1.0);
const vec3 SAND_COLOR = vec3(0.80, 0.70, 0.50);
// Under the water the light fades with depth into the colour of deep sea,
// the same colour the sky box shows below the water line, so that the sea
// floor and the walls of the box meet unseen beneath the surface.
const vec3 DEEP_SEA_COLOR = vec3(0.04, 0.22, 0.29);
const float ABSORPTION = 4.0;
// Ground this far under the surface takes no shadow: the shadow pass has
// gathered the deep ground away, and the edge of what it kept would cast
// straight-edged shadows onto the sea floor.
const float UNSHADED_FROM = 0.04;
const float UNSHADED_BELOW = 0.09;
const float PI = 3.14159265;

// Gamma 2 instead of 2.2: a square and a square root instead of two powers.
vec3 toLinear(vec3 c) { return c * c; }
vec3 toDisplay(vec3 c) { return sqrt(c); }

// x to the 32nd power, the highlight's sharpness, by five squarings.
float power32(float x) {
    x *= x;
    x *= x;
    x *= x;
    x *= x;
    return x * x;
}

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
    // Below the horizon the sky box is looked up farSeaRise times steeper.
    vec3 eye = normalize(vec3(toEye.x, max(toEye.y, toEye.y * farSeaRise), toEye.z));
    vec2 coord = backdrop ? skyCoordinate(-eye) : texCoord;
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
    vec3 n = normalize(worldNormal);
    float nDotL = dot(n, toLight);
    // One tap, which the linear filter turns into a weighted 2x2 comparison.
    float visibility = nDotL > 0.0 ? mix(textureLod(shadowMap, shadowCoord, 0.0), 1.0, smoothstep(UNSHADED_FROM, UNSHADED_BELOW, fade.y)) : 0.0;
    float diffuse = max(nDotL, 0.0) * visibility;
    float specular = power32(max(dot(n, normalize(toLight + eye)), 0.0)) * visibility;

    vec3 sun = SUN_COLOR * SUN_STRENGTH;
    vec3 light = ambientPercentage * FILL_COLOR + (vec3(1.0) - ambientPercentage) * sun * diffuse;
    vec3 color = albedo * light + specularPercentage * sun * specular;

    float absorbed = 1.0 - exp(-fade.w * ABSORPTION);
    color = mix(color, toLinear(DEEP_SEA_COLOR), absorbed);
    color = mix(color, toLinear(HAZE_COLOR), fade.z * (1.0 - absorbed));
    fragColor = vec4(toDisplay(color), 1.0);
}
