#version 330 core
// The water surface: a flat slab whose top face is the water. Besides the
// usual world position it passes on where the point lands in the mirrored
// camera's image and how far it is from that camera.

in vec3 position;
in vec3 normal;
in vec2 uvs;

uniform mat4 M;
uniform mat4 VP;
uniform mat4 V;
uniform mat4 reflectionViewMatrix;
uniform mat4 reflectionVP;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec3 eyePosition;
out vec4 reflectionClip;
out float reflectionDistance;

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
    texCoord = uvs;
    eyePosition = eyeOf(V);
    reflectionClip = reflectionVP * world;
    reflectionDistance = -(reflectionViewMatrix * world).z;
    gl_Position = VP * world;
}
