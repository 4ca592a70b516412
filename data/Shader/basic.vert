#version 330 core
// Lit, textured, shadowed objects (terrain, plus, sky box). Everything that
// varies slowly over a surface is worked out here, once a vertex, and
// interpolated: a software renderer runs every line of the fragment shader
// for every pixel, so each line moved here is a line most pixels skip.

in vec3 position;
in vec3 normal;
in vec2 uvs;

uniform mat4 M;
uniform mat4 VP;
uniform mat4 V;
uniform mat4 depthBiasMVP;
uniform vec3 lightPosition;
uniform vec3 ambientPercentage;
uniform int enableDiscard;

out vec3 worldNormal;
out vec2 texCoord;
out vec3 toEye;            // from the surface to the eye, not normalised
out vec3 shadowCoord;      // shadow-map coordinate, depth bias taken off
out vec4 fade;             // sand share, depth under water (negative above), haze share,
                           // how far light from under the water travels in it to the eye
flat out vec3 toLight;     // unit vector toward the sun
flat out float farSeaRise; // the sky box: how much steeper its far sea is looked up than seen; else 1

const float WATER_SURFACE = -0.6;
const float REFLECTED_FLOOR = -0.66;
// The reflection shows only what lies above the water. Ground deeper than
// DEEP has only ground below the water around it (the island's slopes under
// water never fall more than 0.065 between neighbouring vertices), so it is
// gathered into points of a coarse grid just under the water, where its
// triangles vanish or face away from the mirrored eye below.
const float DEEP = -0.7;
const float GATHER_CELL = 0.48;
const float GATHERED_Y = -0.62;
// The water's reflection is drawn from the eye mirrored in y = -0.61, 0.01
// under the surface: that eye stands this much lower than the eye's mirror
// image in the surface itself.
const float MIRROR_GAP = 0.02;
const float HAZE_DENSITY = 0.04;
const float HAZE_MAX = 0.5;
// Shores: ground close to the water line turns to sand. Only the terrain
// reaches this low; the plus never dips below -0.3.
const float SAND_TOP = -0.38;
const float SAND_FULL = -0.52;
const float SAND_SHARE = 0.65;
// Shadow-map lookup: slope-scaled depth bias plus a small push along the
// normal against acne.
const float SHADOW_MIN_BIAS = 0.0002;
const float SHADOW_SLOPE_BIAS = 0.0009;
const float SHADOW_MAX_BIAS = 0.003;
const float SHADOW_NORMAL_OFFSET = 0.03;
// The sky box (the fully ambient object) lies a few depth steps further back
// than it is, so that where the water meets its walls the water always wins.
const float BACKDROP_DEPTH_PUSH = 2e-6;

// The inverse transpose of m up to a positive factor (its cofactor matrix),
// which is all a normal needs before it is normalised.
mat3 normalMatrix(mat3 m) {
    mat3 cofactors = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    return dot(m[0], cofactors[0]) < 0.0 ? -cofactors : cofactors;
}

// The eye of a view matrix made by lookAt: rotation and translation only.
vec3 eyeOf(mat4 view) { return -(transpose(mat3(view)) * view[3].xyz); }

void main() {
    vec4 world = M * vec4(position, 1.0);
    bool backdrop = ambientPercentage.g > 0.6;
    if (enableDiscard == 1 && !backdrop && world.y < DEEP)
        world.xyz = vec3(round(world.x / GATHER_CELL) * GATHER_CELL, GATHERED_Y, round(world.z / GATHER_CELL) * GATHER_CELL);
    // The box below the water is never seen in the reflection: its floor is
    // raised to just under the mirror plane, where the mirrored eye sees only
    // its back. Its walls reach that far down, so that the water at the walls,
    // which reads the reflection between texels, finds wall there and not the
    // clear colour.
    if (enableDiscard == 1 && backdrop) world.y = max(world.y, REFLECTED_FLOOR);
    // The sky box is scaled unevenly, so normals need the inverse transpose.
    vec3 n = normalize(normalMatrix(mat3(M)) * normal);
    worldNormal = n;
    texCoord = uvs;
    vec3 eye = eyeOf(V);
    toEye = eye - world.xyz;
    // The far sea painted on the sky box mirrors the sky exactly; the water,
    // seen from that lower mirrored eye, shows it a little higher. So the box
    // looks up its far sea that much steeper, and where the water ends at the
    // walls both show the same reflection at the same place. An eye in play
    // stands at least 0.3 above the water.
    float eyeAboveWater = eye.y - WATER_SURFACE;
    farSeaRise = backdrop && enableDiscard == 0 ? (eyeAboveWater + MIRROR_GAP) / eyeAboveWater : 1.0;
    toLight = normalize(lightPosition);

    float cosine = clamp(dot(n, toLight), 0.05, 1.0);
    float slope = sqrt(1.0 - cosine * cosine) / cosine;
    vec4 shadow = depthBiasMVP * vec4(world.xyz + n * (SHADOW_NORMAL_OFFSET * (1.0 - cosine)), 1.0);
    shadowCoord = shadow.xyz / shadow.w - vec3(0.0, 0.0, clamp(SHADOW_SLOPE_BIAS * slope, SHADOW_MIN_BIAS, SHADOW_MAX_BIAS));

    float distanceSquared = dot(toEye, toEye);
    float depth = WATER_SURFACE - world.y;
    // Light from ground under the water crosses depth / rise of its way to
    // the eye under water: little looking down, much at a grazing angle,
    // where the far sea floor fades out behind the surface.
    float underwater = max(depth, 0.0) * (toEye.y > 0.0 ? sqrt(distanceSquared) / max(toEye.y, depth) : 1.0);
    fade = vec4(SAND_SHARE * (1.0 - smoothstep(SAND_FULL, SAND_TOP, world.y)), depth,
                HAZE_MAX * (1.0 - exp(-distanceSquared * (HAZE_DENSITY * HAZE_DENSITY))), underwater);

    gl_Position = VP * world;
    if (backdrop) gl_Position.z += BACKDROP_DEPTH_PUSH * gl_Position.w;
}
