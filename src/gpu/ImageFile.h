#pragma once
// Decoding a picture file whole. FreeImage decodes what it can of a damaged
// file and hands back a picture partly made up: the rows of a JPEG cut short
// come back grey (the decoder says so only through FreeImage's message
// callback), those of a BMP cut short black, without a word. Here both are
// failures, so that no caller draws or walks on invented pixels.

#include <FreeImage.h>

#include <string>

// The decoded bitmap, which the caller unloads, or null with reason saying why.
FIBITMAP* loadWholeImage(FREE_IMAGE_FORMAT format, const char* path, std::string& reason);
