#pragma once
// Heightmaps that the geometry tests write into a TempDir.

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

// A BMP of 8, 24 or 32 bits per pixel whose pixel (c, r), row 0 at the
// bottom, has level(c, r) in every byte. Returns path.
inline std::string writeBitmap(const std::string& path, int width, int height, int bitsPerPixel,
                               const std::function<int(int, int)>& level) {
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, bitsPerPixel);
    const int bytes = bitsPerPixel / 8;
    for (int r = 0; r < height; ++r)
        for (int i = 0; i < width * bytes; ++i) FreeImage_GetScanLine(bitmap, r)[i] = static_cast<BYTE>(level(i / bytes, r));
    EXPECT_TRUE(FreeImage_Save(FIF_BMP, bitmap, path.c_str(), 0)) << path;
    FreeImage_Unload(bitmap);
    return path;
}
