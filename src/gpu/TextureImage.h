#pragma once
// The picture of a texture, decoded without GL: 24 bits per pixel in the
// order blue, green, red, rows bottom-up, each row padded to a multiple of 4
// bytes, which is what the upload reads with GL's default unpack alignment.
// Grey, palettised, 16-bit and alpha pictures are converted; deeper channels
// go through FreeImage's standard 8-bit type first.

#include "gpu/ImageSource.h"

// Null when the format is unknown or unreadable, the picture is more than
// maxSide pixels on a side (the driver's GL_MAX_TEXTURE_SIZE; told by the
// header, before any pixel memory is taken, where the format allows), the
// whole picture does not decode, or no 24-bit form exists.
BitmapPtr decodeTextureImage(const ImageSource& source, unsigned maxSide);
