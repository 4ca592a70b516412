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
// The top of the water slab, a hair above the mirror plane.
const float WATER_SURFACE = -0.6;
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
// Under the water the light fades with depth into the colour of deep sea,
// the same colour the sky box shows below the water line, so that the sea
// floor and the walls of the box meet unseen beneath the surface.
const vec3 DEEP_SEA_COLOR = vec3(0.04, 0.22, 0.29);
const float ABSORPTION = 2.5;

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

// The sky picture is a panorama: u round the horizon (0.5 along -z, the
// wrap along +z), v from straight down to straight up.
const float PI = 3.14159265;
vec2 skyCoordinate(vec3 d) {
    return vec2(0.5 + atan(d.x, -d.z) * (0.5 / PI), 0.5 + asin(clamp(d.y, -1.0, 1.0)) * (1.0 / PI));
}

void main() {
    // A fully ambient object (the sky box) is the backdrop. It shows the sky
    // in the direction from the eye, as if infinitely far away: no parallax,
    // no corners. Its mip level follows the angle a pixel spans, which has no
    // seam where the panorama wraps round.
    bool backdrop = ambientPercentage.g > 0.6;
    vec3 toEye = eyePosition - worldPosition;
    float eyeDistance = length(toEye);
    toEye /= max(eyeDistance, 1e-4);
    float pixelAngle = max(length(dFdx(toEye)), length(dFdy(toEye)));
    vec2 coord = backdrop ? skyCoordinate(-toEye) : texCoord;
    vec2 gradX = backdrop ? vec2(0.0, pixelAngle * (1.0 / PI)) : dFdx(texCoord);
    vec2 gradY = backdrop ? vec2(0.0, pixelAngle * (1.0 / PI)) : dFdy(texCoord);
    vec4 texel = textureGrad(colorTexture, coord, gradX, gradY);
    float underwater = max(WATER_SURFACE - worldPosition.y, 0.0);
    if (backdrop) {
        // Below the water line the box is seen through the water: deep sea.
        // The mirrored eye of the reflection sees the box whole.
        bool sunk = underwater > 0.0 && enableDiscard == 0;
        fragColor = vec4(sunk ? DEEP_SEA_COLOR : texel.rgb, 1.0);
        return;
    }
    // The reflection shows only what lies above the water.
    if (enableDiscard == 1 && worldPosition.y < WATER_LEVEL) discard;

    vec3 albedo = toLinear(texel.rgb);
    vec3 n = normalize(worldNormal);
    vec3 toLight = normalize(lightPosition);
    vec3 sun = SUN_COLOR * SUN_STRENGTH;
    float sand = SAND_SHARE * (1.0 - smoothstep(SAND_FULL, SAND_TOP, worldPosition.y));
    albedo = mix(albedo, toLinear(SAND_COLOR) * (0.7 + 0.6 * texel.g), sand);

    float nDotL = dot(n, toLight);
    float visibility = nDotL > 0.0 ? sunVisibility(worldPosition, n, nDotL) : 0.0;
    float diffuse = max(nDotL, 0.0) * visibility;
    vec3 halfway = normalize(toLight + toEye);
    float specular = pow(max(dot(n, halfway), 0.0), SHININESS) * visibility * step(0.0, nDotL);

    vec3 light = ambientPercentage * FILL_COLOR + (vec3(1.0) - ambientPercentage) * sun * diffuse;
    vec3 color = albedo * light + specularPercentage * sun * specular;

    float absorbed = 1.0 - exp(-underwater * ABSORPTION);
    color = mix(color, toLinear(DEEP_SEA_COLOR), absorbed);
    float haze = HAZE_MAX * (1.0 - exp(-eyeDistance * eyeDistance * (HAZE_DENSITY * HAZE_DENSITY))) * (1.0 - absorbed);
    color = mix(color, toLinear(HAZE_COLOR), haze);
    fragColor = vec4(toDisplay(color), 1.0);
}
