#version 330 core
// Water: the mirrored scene, rippled by a scrolling distortion map, mixed
// with the water colour by a Fresnel term, a sun glint from the water normal
// map, and the shadow map darkening the surface. transparencyMode 1 lets the
// ground below show through (steep views more than grazing ones); 0 draws
// the water opaque. Only the level top face is ever seen.

in vec2 worldXZ;
in vec2 texCoord;
in vec3 toEye;
in vec3 reflectionClip;
in float reflectionDistance;
in vec3 shadowCoord;
flat in vec3 toLight;
flat in float scroll;

uniform sampler2D colorTexture;
uniform sampler2D reflectionTexture;
uniform sampler2D normalTexture;
uniform sampler2DShadow shadowMap;
uniform sampler2D dudv;
uniform int transparencyMode;
uniform vec3 ambientPercentage;
uniform vec3 specularPercentage;

out vec4 fragColor;

const vec3 SUN_COLOR = vec3(1.0, 0.93, 0.80);
const float SUN_STRENGTH = 1.25;
const vec3 DEEP_WATER = vec3(0.02, 0.20, 0.30);
const float WATER_TEXTURE_SHARE = 0.45;
const float WAVE_TILING = 7.0;
const float COLOR_TILING = 3.0;
const float WAVE_STRENGTH = 0.02;
const float RIPPLE_SCALE = 0.1;
// Ripples keep their size on the water, so they shrink on screen with distance.
const float FULL_DISTORTION_DISTANCE = 2.0;
const float FLATNESS = 3.0;
const float GLINT_STRENGTH = 3.0;
const float MIN_REFLECTIVITY = 0.25;
const float MAX_REFLECTIVITY = 0.85;
const vec3 REFLECTION_TINT = vec3(0.80, 0.93, 1.0);
const float SHADOW_DARKNESS = 0.4;
const float CLEAR_ALPHA = 0.6;
const float GRAZING_ALPHA = 0.85;

// Toward the walls of the sky box the water calms into the far sea painted
// on the box below the horizon: the mean water colour, a level surface, the
// undistorted reflection, no shadow, over the deep sea. At the walls the two
// are one picture, with the water clear or not.
const vec2 SKY_BOX_WALLS = vec2(5.9, 5.52);
const float CALM_DISTANCE = 1.5;
const vec3 WATER_TEXEL_MEAN = vec3(0.08, 0.33, 0.40);
// The lit shader's deep sea under the water, a display value.
const vec3 DEEP_SEA_COLOR = vec3(0.04, 0.22, 0.29);

// Gamma 2 instead of 2.2: a square and a square root instead of two powers.
vec3 toLinear(vec3 c) { return c * c; }
vec3 toDisplay(vec3 c) { return sqrt(c); }

// The reflection image between its texels. Its texture is sampled nearest,
// and a row of the screen does not land on a row of it: the mirrored eye
// stands a little lower than the eye's mirror image. Nearest texels would
// shift the reflected clouds by up to half a texel in bands, against the far
// sea on the sky box, which is filtered; so this filters the four itself.
vec3 reflectionAt(vec2 coord) {
    ivec2 size = textureSize(reflectionTexture, 0);
    vec2 texel = coord * vec2(size) - 0.5;
    ivec2 corner = ivec2(floor(texel)), last = size - 1;
    vec2 f = texel - floor(texel);
    vec3 below = mix(texelFetch(reflectionTexture, clamp(corner, ivec2(0), last), 0).rgb,
                     texelFetch(reflectionTexture, clamp(corner + ivec2(1, 0), ivec2(0), last), 0).rgb, f.x);
    vec3 above = mix(texelFetch(reflectionTexture, clamp(corner + ivec2(0, 1), ivec2(0), last), 0).rgb,
                     texelFetch(reflectionTexture, clamp(corner + ivec2(1, 1), ivec2(0), last), 0).rgb, f.x);
    return mix(below, above, f.y);
}

// The glint's sharpness, x to the 160th power, by squarings.
float power160(float x) {
    float x2 = x * x, x4 = x2 * x2, x8 = x4 * x4, x16 = x8 * x8, x32 = x16 * x16;
    float x128 = x32 * x32;
    x128 *= x128;
    return x128 * x32;
}

void main() {
    vec2 fromWalls = SKY_BOX_WALLS - abs(worldXZ);
    float wallDistance = min(fromWalls.x, fromWalls.y);
    float detail = smoothstep(0.0, CALM_DISTANCE, wallDistance);

    // One read of the distortion map moves both the ripples and the mirror.
    vec2 waveCoord = texCoord * WAVE_TILING;
    vec2 wave = texture(dudv, vec2(waveCoord.x + scroll, waveCoord.y)).rg * 2.0 - 1.0;
    vec2 rippledCoord = waveCoord + vec2(wave.x * RIPPLE_SCALE, wave.y * RIPPLE_SCALE + scroll);
    vec2 distortion = wave.yx * (WAVE_STRENGTH * detail * clamp(FULL_DISTORTION_DISTANCE / max(reflectionDistance, 1e-3), 0.3, 1.0));
    vec3 mapped = texture(normalTexture, rippledCoord).rgb;
    vec3 waterTexel = mix(WATER_TEXEL_MEAN, texture(colorTexture, texCoord * COLOR_TILING + distortion).rgb, detail);

    vec2 mirrorCoord = reflectionClip.xy / reflectionClip.z * 0.5 + 0.5;
    vec3 reflection = toLinear(reflectionAt(clamp(mirrorCoord + distortion, 0.001, 0.999)));

    // The normal map lies in the water plane. It is normalised once, after the
    // calming toward the walls, which its unscaled length makes a little quicker.
    vec3 waveNormal = vec3(mapped.r * 2.0 - 1.0, mapped.b * FLATNESS, mapped.g * 2.0 - 1.0);
    vec3 n = normalize(mix(vec3(0.0, 1.0, 0.0), waveNormal, detail));
    vec3 eye = normalize(toEye);
    vec3 sun = SUN_COLOR * SUN_STRENGTH;
    float nDotL = toLight.y;
    float visibility = nDotL > 0.0 ? mix(1.0, textureLod(shadowMap, shadowCoord, 0.0), detail) : 0.0;

    vec3 body = mix(DEEP_WATER, toLinear(waterTexel), WATER_TEXTURE_SHARE);
    body *= ambientPercentage + (vec3(1.0) - ambientPercentage) * sun * max(nDotL, 0.0) * visibility;

    float facing = 1.0 - clamp(dot(eye, n), 0.0, 1.0);
    float fresnel = facing * facing * facing;
    float reflectivity = mix(MIN_REFLECTIVITY, MAX_REFLECTIVITY, fresnel);
    vec3 color = mix(body, reflection * REFLECTION_TINT, reflectivity);
    color *= mix(1.0 - SHADOW_DARKNESS, 1.0, visibility);

    float glint = power160(max(dot(n, normalize(toLight + eye)), 0.0)) * GLINT_STRENGTH * visibility;
    color += specularPercentage * sun * glint;

    // The slab reaches past the walls; there the box's own far sea shows.
    // Cut last, after every sample: a texture read picks its mipmap level
    // from the neighbouring fragments, which must all still be running.
    if (wallDistance < 0.0) discard;
    // The far sea is this water over the deep sea, whether the water is clear
    // or not: toward the walls the water takes in as much deep sea as clear
    // water lets through, and its own alpha goes to 1.
    float seen = 1.0 - mix(CLEAR_ALPHA, GRAZING_ALPHA, fresnel);
    float alpha = transparencyMode == 1 ? 1.0 - detail * seen : 1.0;
    fragColor = vec4(mix(toDisplay(color), DEEP_SEA_COLOR, seen - detail * seen), alpha);
}
