#version 330 core
// Shadow pass: positions seen from the light. Ground deeper than DEEP lies
// under the water with only ground below the water around it (the island's
// slopes under water never fall more than 0.065 between neighbouring
// vertices), and whatever it shades lies under the water too. It is gathered
// into points of a coarse grid at the bottom, where its triangles vanish and
// none of it can shade anything above it.

in vec3 position;

uniform mat4 depthMVP;
uniform mat4 M;

const float DEEP = -0.7;
const float GATHER_CELL = 0.48;
const float GATHERED_Y = -2.0;

void main() {
    vec4 world = M * vec4(position, 1.0);
    if (world.y < DEEP)
        world.xyz = vec3(round(world.x / GATHER_CELL) * GATHER_CELL, GATHERED_Y, round(world.z / GATHER_CELL) * GATHER_CELL);
    gl_Position = depthMVP * world;
}
