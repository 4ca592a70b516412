#include "gpu/ShaderProgram.h"

#include "gpu/FatalError.h"
#include "platform/Platform.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The info log of a shader or program; an empty string when the driver has none.
std::string infoLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) return std::string();

    std::vector<char> buffer(static_cast<size_t>(length), '\0');
    if (isProgram)
        glGetProgramInfoLog(object, length, nullptr, buffer.data());
    else
        glGetShaderInfoLog(object, length, nullptr, buffer.data());
    return std::string(buffer.data());
}

// The whole file with CR LF line ends read as LF, as a text-mode read does
// on the platforms that distinguish them.
std::string readSource(std::ifstream& in) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

}  // namespace

void compileShaderFile(const char* path, GLenum shaderType, GLuint& handleOut) {
    std::ifstream in(path);
    if (!in.is_open()) fatalError({std::string("failed to open file ") + path});
    const std::string source = platform::adaptShaderSource(readSource(in));
    in.close();

    handleOut = glCreateShader(shaderType);
    if (handleOut == 0) fatalError({"Failed to create shader"});

    const char* text = source.c_str();
    glShaderSource(handleOut, 1, &text, nullptr);
    glCompileShader(handleOut);

    GLint status = 0;
    glGetShaderiv(handleOut, GL_COMPILE_STATUS, &status);
    if (status != 0 && glIsShader(handleOut)) return;

    fatalError({"Failed to compile shader", infoLog(handleOut, false)});
}

ShaderProgram::ShaderProgram(const char* vertexPath, const char* fragmentPath) {
    programHandle = glCreateProgram();
    if (programHandle == 0) fatalError({"Didn't get a valid programHandle"});
    compileShaderFile(vertexPath, GL_VERTEX_SHADER, vertexShaderHandle);
    compileShaderFile(fragmentPath, GL_FRAGMENT_SHADER, fragmentShaderHandle);
    link();
}

ShaderProgram::~ShaderProgram() {
    glDeleteProgram(programHandle);
    glDeleteShader(vertexShaderHandle);
    glDeleteShader(fragmentShaderHandle);
}

void ShaderProgram::link() {
    glAttachShader(programHandle, vertexShaderHandle);
    glAttachShader(programHandle, fragmentShaderHandle);
    glBindFragDataLocation(programHandle, 0, "fragColor");
    glLinkProgram(programHandle);

    GLint status = 0;
    glGetProgramiv(programHandle, GL_LINK_STATUS, &status);
    if (status != 0) return;

    fatalError({"Failed to link shader program", infoLog(programHandle, true)});
}
