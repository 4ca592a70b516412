#version 330 core
// Shadow pass: only the depth is kept; the colour is never read.

out vec4 fragColor;

void main() {
    fragColor = vec4(gl_FragCoord.zzz, 1.0);
}
