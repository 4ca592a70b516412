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

void main() {
    vec4 world = M * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = transpose(inverse(mat3(M))) * normal;
    texCoord = uvs;
    eyePosition = inverse(V)[3].xyz;
    reflectionClip = reflectionVP * world;
    reflectionDistance = -(reflectionViewMatrix * world).z;
    gl_Position = VP * world;
}
