#version 330 core
// Sunlight with soft shadows for the terrain, the plus and the sky box.
// The light is a sun shining from lightPosition towards the origin, the same
// direction the shadow map looks along. Colours are lit in linear space.

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec3 eyePosition;

uniform mat4 depthBiasMVP;
uniform int enableDiscard;
uniform sampler2DShadow shadowMap;
uniform sampler2D colorTexture;
uniform vec3 lightPosition;
uniform vec3 ambientPercentage;
uniform vec3 specularPercentage;

out vec4 fragColor;

const float WATER_LEVEL = -0.61;
const vec3 SUN_COLOR = vec3(1.0, 0.93, 0.80);
const float SUN_STRENGTH = 1.25;
const vec3 FILL_COLOR = vec3(0.86, 0.95, 1.08);
const float SHININESS = 32.0;
const vec3 HAZE_COLOR = vec3(0.40, 0.86, 1.0);
const float HAZE_DENSITY = 0.04;
const float HAZE_MAX = 0.5;
// Shores: ground close to the water line turns to sand. Only the terrain
// reaches this low; the plus never dips below -0.3.
const vec3 SAND_COLOR = vec3(0.80, 0.70, 0.50);
const float SAND_TOP = -0.38;
const float SAND_FULL = -0.52;
const float SAND_SHARE = 0.65;

// Shadow-map lookup: slope-scaled depth bias plus a small push along the
// normal against acne. One tap, which the linear filter turns into a
// weighted 2x2 comparison: a software renderer runs every branch of a
// shader, so each extra tap costs every pixel. Points outside the light's
// box are lit.
const float SHADOW_MIN_BIAS = 0.0002;
const float SHADOW_SLOPE_BIAS = 0.0009;
const float SHADOW_MAX_BIAS = 0.003;
const float SHADOW_NORMAL_OFFSET = 0.03;

float sunVisibility(vec3 position, vec3 n, float nDotL) {
    float cosine = clamp(nDotL, 0.05, 1.0);
    float slope = sqrt(1.0 - cosine * cosine) / cosine;
    float bias = clamp(SHADOW_SLOPE_BIAS * slope, SHADOW_MIN_BIAS, SHADOW_MAX_BIAS);
    vec4 coord = depthBiasMVP * vec4(position + n * SHADOW_NORMAL_OFFSET * (1.0 - cosine), 1.0);
    vec3 p = coord.xyz / coord.w;
    if (any(lessThan(p, vec3(0.0))) || any(greaterThan(p, vec3(1.0)))) return 1.0;
    return texture(shadowMap, vec3(p.xy, p.z - bias));
}

// Gamma 2 instead of 2.2: a square and a square root instead of two powers.
vec3 toLinear(vec3 c) { return c * c; }
vec3 toDisplay(vec3 c) { return sqrt(c); }

void main() {
    vec4 texel = texture(colorTexture, texCoord);
    // A fully ambient object (the sky box) is the backdrop: no tint, no haze.
    float backdrop = smoothstep(0.6, 0.9, ambientPercentage.g);
    // The reflection shows only what lies above the water. The backdrop is
    // kept whole: its walls below the water line fill the reflection where
    // the water meets them, instead of the clear colour.
    if (backdrop >= 1.0) {
        // Lit by ambient and sun alike, so it shows its texture as it is.
        fragColor = vec4(texel.rgb, 1.0);
        return;
    }
    if (enableDiscard == 1 && worldPosition.y < WATER_LEVEL) discard;

    vec3 albedo = toLinear(texel.rgb);
    vec3 n = normalize(worldNormal);
    vec3 toLight = normalize(lightPosition);
    vec3 toEye = eyePosition - worldPosition;
    float eyeDistance = length(toEye);
    toEye /= max(eyeDistance, 1e-4);

    vec3 sun = mix(SUN_COLOR * SUN_STRENGTH, vec3(1.0), backdrop);
    float sand = SAND_SHARE * (1.0 - smoothstep(SAND_FULL, SAND_TOP, worldPosition.y)) * (1.0 - backdrop);
    albedo = mix(albedo, toLinear(SAND_COLOR) * (0.7 + 0.6 * texel.g), sand);
    vec3 fill = mix(FILL_COLOR, vec3(1.0), backdrop);

    float nDotL = dot(n, toLight);
    float visibility = nDotL > 0.0 ? sunVisibility(worldPosition, n, nDotL) : 0.0;
    // What there is of the backdrop shows its texture as it is, without
    // face-to-face brightness steps or the island's shadows on it.
    float diffuse = mix(max(nDotL, 0.0) * visibility, 1.0, backdrop);
    vec3 halfway = normalize(toLight + toEye);
    float specular = pow(max(dot(n, halfway), 0.0), SHININESS) * visibility * step(0.0, nDotL);

    vec3 light = ambientPercentage * fill + (vec3(1.0) - ambientPercentage) * sun * diffuse;
    vec3 color = albedo * light + specularPercentage * sun * specular;

    float haze = HAZE_MAX * (1.0 - exp(-eyeDistance * eyeDistance * (HAZE_DENSITY * HAZE_DENSITY))) * (1.0 - backdrop);
    color = mix(color, toLinear(HAZE_COLOR), haze);
    fragColor = vec4(toDisplay(color), 1.0);
}
