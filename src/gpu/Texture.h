#pragma once
// A GL_TEXTURE_2D made from one image file. Level 0 is stored as 8-bit RGB at
// the image's own size, with the picture's bottom row at v = 0, followed by a
// full mipmap chain; sampling is trilinear and repeats in both directions.
// An image that cannot be found or decoded leaves the texture without a
// level 0, so it samples as black; nothing is printed. The texture owns its
// name and deletes it on destruction.

#include "platform/GL.h"

class Texture {
public:
    // Leaves texture unit 0 active with this texture bound to it.
    explicit Texture(const char* path);
    ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    GLuint textureHandle = 0;
};
