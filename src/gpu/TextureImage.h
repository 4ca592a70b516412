#pragma once
// The picture of a texture, decoded without GL: 24 bits per pixel in the
// order blue, green, red, rows bottom-up, each row padded to a multiple of 4
// bytes, which is what the upload reads with GL's default unpack alignment.
// Grey, palettised, 16-bit and alpha pictures are converted; deeper channels
// go through FreeImage's standard 8-bit type first.

#include "gpu/ImageSource.h"

// Larger pictures count as missing; every image the game ships is at most 2048.
constexpr unsigned maxTextureSide = 8192;

// Null when the format is unknown or unreadable, the header claims more than
// maxTextureSide pixels on a side, the whole picture does not decode, or no 24-bit form exists.
BitmapPtr decodeTextureImage(const ImageSource& source);
