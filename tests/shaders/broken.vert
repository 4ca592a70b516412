#version 330 core
void main() {
    gl_Position = vec4(notDeclaredHere);
}
