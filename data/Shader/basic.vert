#version 330 core
// Lit, textured, shadowed objects (terrain, plus, sky box): passes the world
// position and normal on to the fragment shader, which does all the lighting.

in vec3 position;
in vec3 normal;
in vec2 uvs;

uniform mat4 M;
uniform mat4 VP;
uniform mat4 V;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec3 eyePosition;

void main() {
    vec4 world = M * vec4(position, 1.0);
    worldPosition = world.xyz;
    // The sky box is scaled unevenly, so normals need the inverse transpose.
    worldNormal = transpose(inverse(mat3(M))) * normal;
    texCoord = uvs;
    eyePosition = inverse(V)[3].xyz;
    gl_Position = VP * world;
}
