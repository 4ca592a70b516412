#include "gpu/Texture.h"

#include "gpu/TextureImage.h"

#include <algorithm>

Texture::Texture(const char* path) {
    glGenTextures(1, &textureHandle);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureHandle);

    // A picture larger than the driver takes stays missing rather than
    // raising a GL error. FreeImage pads each row to 4 bytes, which is GL's
    // default unpack alignment.
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (const BitmapPtr image = decodeTextureImage(ImageSource::file(path), static_cast<unsigned>(std::max(maxSide, 0)))) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, static_cast<GLsizei>(FreeImage_GetWidth(image.get())),
                     static_cast<GLsizei>(FreeImage_GetHeight(image.get())), 0, GL_BGR, GL_UNSIGNED_BYTE,
                     FreeImage_GetBits(image.get()));
        glGenerateMipmap(GL_TEXTURE_2D);
    }

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

Texture::~Texture() { glDeleteTextures(1, &textureHandle); }
