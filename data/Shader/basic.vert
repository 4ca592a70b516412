#version 330 core
// Lit, textured, shadowed objects (terrain, plus, sky box): passes the world
// position and normal on to the fragment shader, which does all the lighting.

in vec3 position;
in vec3 normal;
in vec2 uvs;

uniform mat4 M;
uniform mat4 VP;
uniform mat4 V;
uniform vec3 ambientPercentage;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec3 eyePosition;

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
    worldPosition = world.xyz;
    // The sky box is scaled unevenly, so normals need the inverse transpose.
    worldNormal = normalMatrix(mat3(M)) * normal;
    texCoord = uvs;
    eyePosition = eyeOf(V);
    gl_Position = VP * world;
    if (ambientPercentage.g > 0.6) gl_Position.z += BACKDROP_DEPTH_PUSH * gl_Position.w;
}
