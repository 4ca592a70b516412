#version 330 core
// Normal-mapped meshes: hands the world-space surface frame to the fragment
// shader. The tangents come straight from the mesh, unnormalised, and may be
// zero or not finite where a triangle's texture coordinates are degenerate.

in vec3 position;
in vec3 normal;
in vec2 uvs;
in vec3 tangents;
in vec3 bittangents;

uniform mat4 M;
uniform mat4 VP;
uniform mat4 V;

out vec3 worldPosition;
out vec3 worldNormal;
out vec3 worldTangent;
out vec3 worldBitangent;
out vec2 texCoord;
out vec3 eyePosition;

vec3 finiteOrZero(vec3 v) {
    return any(isnan(v)) || any(isinf(v)) ? vec3(0.0) : v;
}

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
    worldNormal = normalMatrix(mat3(M)) * normal;
    // Tangents lie in the surface, so they follow the model matrix itself.
    worldTangent = mat3(M) * finiteOrZero(tangents);
    worldBitangent = mat3(M) * finiteOrZero(bittangents);
    texCoord = uvs;
    eyePosition = eyeOf(V);
    gl_Position = VP * world;
}
