#version 330 core
// The water surface: a flat slab whose top face is the water, the only face
// ever seen (its sides lie past the sky box's walls). Besides the usual terms
// it passes on where the point lands in the mirrored camera's image and how
// far it is from that camera. Whatever is linear over the surface or the
// same everywhere is worked out here rather than for every pixel.

in vec3 position;
in vec3 normal;
in vec2 uvs;

uniform mat4 M;
uniform mat4 VP;
uniform mat4 V;
uniform mat4 depthBiasMVP;
uniform mat4 reflectionViewMatrix;
uniform mat4 reflectionVP;
uniform float time;
uniform vec3 lightPosition;

out vec2 worldXZ;
out vec2 texCoord;
out vec3 toEye;             // from the surface to the eye the reflection sees it from, not normalised
out vec3 reflectionClip;    // x, y and w of the mirrored camera's clip position
out float reflectionDistance;
out vec3 shadowCoord;       // shadow-map coordinate, depth bias taken off
flat out vec3 toLight;      // unit vector toward the sun
flat out float scroll;      // how far the ripples have moved, in tiles

// time is a hundredth of a second count, so this scrolls 0.03 tiles a second.
const float SCROLL_SPEED = 3.0;
const float SHADOW_MIN_BIAS = 0.0002;
const float SHADOW_SLOPE_BIAS = 0.0009;
const float SHADOW_MAX_BIAS = 0.003;
// The reflection is drawn from the eye mirrored in y = -0.61, 0.01 under the
// surface, so it shows each point of the water as an eye this much higher
// would see it mirrored. The Fresnel term and the glint take that eye too, as
// the far sea painted on the sky box does, so the two meet at the walls with
// as much of the sky in them.
const float MIRROR_GAP = 0.02;

// The eye of a view matrix made by lookAt: rotation and translation only.
vec3 eyeOf(mat4 view) { return -(transpose(mat3(view)) * view[3].xyz); }

void main() {
    vec4 world = M * vec4(position, 1.0);
    worldXZ = world.xz;
    texCoord = uvs;
    toEye = eyeOf(V) + vec3(0.0, MIRROR_GAP, 0.0) - world.xyz;
    vec4 mirrored = reflectionVP * world;
    reflectionClip = mirrored.xyw;
    reflectionDistance = -(reflectionViewMatrix * world).z;
    toLight = normalize(lightPosition);
    scroll = fract(time * SCROLL_SPEED);

    // The seen face is level, so its slope to the light is the same everywhere.
    float cosine = clamp(dot(normalize(mat3(M) * normal), toLight), 0.05, 1.0);
    float bias = clamp(SHADOW_SLOPE_BIAS * sqrt(1.0 - cosine * cosine) / cosine, SHADOW_MIN_BIAS, SHADOW_MAX_BIAS);
    vec4 shadow = depthBiasMVP * world;
    shadowCoord = shadow.xyz / shadow.w - vec3(0.0, 0.0, bias);
    gl_Position = VP * world;
}
