#define QM_WEBGL_IMPLEMENTATION
#include "platform/web/WebGL.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

namespace {

// Lines drawn in place of one triangle draw while the wire frame is on.
struct EdgeBuffer {
    GLuint name = 0;
    GLsizei count = 0;
};

// The triangle draw an edge buffer stands for: its index buffer (0 for
// vertices in order), index type, first index or byte offset, and count.
using DrawKey = std::tuple<GLuint, GLenum, intptr_t, GLsizei>;

struct WireFrame {
    bool on = false;
    std::map<GLuint, std::vector<uint8_t>> indexData;  // what each index buffer holds
    std::map<DrawKey, EdgeBuffer> edges;
};

WireFrame wireFrame;

GLuint boundBuffer(GLenum binding) {
    GLint name = 0;
    ::glGetIntegerv(binding, &name);
    return static_cast<GLuint>(name);
}

uint32_t indexAt(const std::vector<uint8_t>& data, GLenum type, size_t i) {
    if (type == GL_UNSIGNED_INT) {
        uint32_t v = 0;
        std::memcpy(&v, data.data() + 4 * i, 4);
        return v;
    }
    if (type == GL_UNSIGNED_SHORT) {
        uint16_t v = 0;
        std::memcpy(&v, data.data() + 2 * i, 2);
        return v;
    }
    return data[i];
}

size_t indexSize(GLenum type) { return type == GL_UNSIGNED_INT ? 4 : type == GL_UNSIGNED_SHORT ? 2 : 1; }

// The three edges of each triangle, as pairs of vertex indices.
EdgeBuffer makeEdges(const std::vector<uint32_t>& triangles) {
    std::vector<uint32_t> lines;
    lines.reserve(triangles.size() * 2);
    for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
        const uint32_t a = triangles[t], b = triangles[t + 1], c = triangles[t + 2];
        lines.insert(lines.end(), {a, b, b, c, c, a});
    }
    EdgeBuffer edges;
    edges.count = static_cast<GLsizei>(lines.size());
    glGenBuffers(1, &edges.name);
    const GLuint elementBuffer = boundBuffer(GL_ELEMENT_ARRAY_BUFFER_BINDING);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edges.name);
    ::glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(lines.size() * 4), lines.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
    return edges;
}

// Draws the edges in place of the triangles, with the vertex array's own
// index buffer bound back afterwards.
void drawEdges(const EdgeBuffer& edges, GLuint elementBuffer) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edges.name);
    ::glDrawElements(GL_LINES, edges.count, GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer);
}

}  // namespace

void glPolygonMode(GLenum, GLenum mode) { wireFrame.on = mode == GL_LINE; }

void glFramebufferTexture(GLenum target, GLenum attachment, GLuint texture, GLint level) {
    glFramebufferTexture2D(target, attachment, GL_TEXTURE_2D, texture, level);
}

void glDrawBuffer(GLenum buffer) { glDrawBuffers(1, &buffer); }

void glBindFragDataLocation(GLuint, GLuint, const char*) {}

namespace webgl {

void texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                GLenum format, GLenum type, const void* pixels) {
    if (internalFormat == GL_DEPTH_COMPONENT16 && type == GL_FLOAT) type = GL_UNSIGNED_SHORT;
    if (format != GL_BGR || !pixels || width <= 0 || height <= 0) {
        ::glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
        return;
    }
    // Rows start on 4 bytes, GL's default unpack alignment.
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> rgb(static_cast<const uint8_t*>(pixels), static_cast<const uint8_t*>(pixels) + stride * height);
    for (GLsizei y = 0; y < height; ++y)
        for (uint8_t* p = rgb.data() + stride * y; p < rgb.data() + stride * y + 3 * width; p += 3) std::swap(p[0], p[2]);
    ::glTexImage2D(target, level, internalFormat, width, height, border, GL_RGB, type, rgb.data());
}

void renderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height) {
    ::glRenderbufferStorage(target, internalFormat == GL_DEPTH_COMPONENT ? GL_DEPTH_COMPONENT24 : internalFormat, width, height);
}

void getIntegerv(GLenum name, GLint* data) {
    if (name != GL_POLYGON_MODE) return ::glGetIntegerv(name, data);
    data[0] = data[1] = wireFrame.on ? GL_LINE : GL_FILL;
}

void bufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
    ::glBufferData(target, size, data, usage);
    if (target != GL_ELEMENT_ARRAY_BUFFER || !data || size <= 0) return;
    const GLuint buffer = boundBuffer(GL_ELEMENT_ARRAY_BUFFER_BINDING);
    const auto* bytes = static_cast<const uint8_t*>(data);
    wireFrame.indexData[buffer].assign(bytes, bytes + size);
}

void deleteBuffers(GLsizei count, const GLuint* buffers) {
    for (GLsizei i = 0; i < count; ++i) {
        wireFrame.indexData.erase(buffers[i]);
        for (auto it = wireFrame.edges.begin(); it != wireFrame.edges.end();) {
            if (std::get<0>(it->first) != buffers[i]) { ++it; continue; }
            ::glDeleteBuffers(1, &it->second.name);
            it = wireFrame.edges.erase(it);
        }
    }
    ::glDeleteBuffers(count, buffers);
}

void drawElements(GLenum mode, GLsizei count, GLenum type, const void* offset) {
    const GLuint elementBuffer = wireFrame.on && mode == GL_TRIANGLES ? boundBuffer(GL_ELEMENT_ARRAY_BUFFER_BINDING) : 0;
    const auto data = wireFrame.indexData.find(elementBuffer);
    if (elementBuffer == 0 || data == wireFrame.indexData.end()) return ::glDrawElements(mode, count, type, offset);

    const DrawKey key{elementBuffer, type, reinterpret_cast<intptr_t>(offset), count};
    auto edges = wireFrame.edges.find(key);
    if (edges == wireFrame.edges.end()) {
        const size_t first = static_cast<size_t>(reinterpret_cast<intptr_t>(offset)) / indexSize(type);
        std::vector<uint32_t> triangles;
        for (size_t i = first; i < first + count && (i + 1) * indexSize(type) <= data->second.size(); ++i)
            triangles.push_back(indexAt(data->second, type, i));
        edges = wireFrame.edges.emplace(key, makeEdges(triangles)).first;
    }
    drawEdges(edges->second, elementBuffer);
}

void drawArrays(GLenum mode, GLint first, GLsizei count) {
    if (!wireFrame.on || mode != GL_TRIANGLES) return ::glDrawArrays(mode, first, count);
    const DrawKey key{0, GL_UNSIGNED_INT, first, count};
    auto edges = wireFrame.edges.find(key);
    if (edges == wireFrame.edges.end()) {
        std::vector<uint32_t> triangles(static_cast<size_t>(count));
        for (GLsizei i = 0; i < count; ++i) triangles[i] = static_cast<uint32_t>(first + i);
        edges = wireFrame.edges.emplace(key, makeEdges(triangles)).first;
    }
    drawEdges(edges->second, boundBuffer(GL_ELEMENT_ARRAY_BUFFER_BINDING));
}

}  // namespace webgl
