#pragma once
// Heightmaps and model files that the geometry tests write into a TempDir.

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>

// A BMP of 8, 24 or 32 bits per pixel whose pixel (c, r), row 0 at the
// bottom, has level(c, r) in every byte. Returns path.
inline std::string writeBitmap(const std::string& path, int width, int height, int bitsPerPixel,
                               const std::function<int(int, int)>& level) {
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, bitsPerPixel);
    const int bytes = bitsPerPixel / 8;
    for (int r = 0; r < height; ++r)
        for (int i = 0; i < width * bytes; ++i)
            FreeImage_GetScanLine(bitmap, r)[i] = static_cast<BYTE>(level(i / bytes, r));
    EXPECT_TRUE(FreeImage_Save(FIF_BMP, bitmap, path.c_str(), 0)) << path;
    FreeImage_Unload(bitmap);
    return path;
}

// A unit UV sphere whose faces share the vertices of its rings, with
// texture coordinates (longitude, latitude) and radial normals.
inline std::string uvSphereObj(int rings, int segments) {
    std::ostringstream obj;
    for (int i = 0; i <= rings; ++i) {
        for (int j = 0; j <= segments; ++j) {
            const double theta = M_PI * i / rings, phi = 2.0 * M_PI * j / segments;
            const double x = std::sin(theta) * std::cos(phi), y = std::cos(theta), z = std::sin(theta) * std::sin(phi);
            obj << "v " << x << ' ' << y << ' ' << z << "\nvn " << x << ' ' << y << ' ' << z << "\n";
            obj << "vt " << double(j) / segments << ' ' << 1.0 - double(i) / rings << "\n";
        }
    }
    auto corner = [&](int i, int j) {
        const std::string n = std::to_string(i * (segments + 1) + j + 1);
        return " " + n + "/" + n + "/" + n;
    };
    // The triangles that would collapse onto a pole are left out.
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j < segments; ++j) {
            if (i > 0) obj << "f" << corner(i, j) << corner(i, j + 1) << corner(i + 1, j + 1) << "\n";
            if (i + 1 < rings) obj << "f" << corner(i, j) << corner(i + 1, j + 1) << corner(i + 1, j) << "\n";
        }
    return obj.str();
}
