#pragma once
// The sky picture: a blue sky with soft clouds and the sun above, the open
// sea below, as a panorama laid out by math/SkyProjection.h. Every pixel is
// painted from the direction it shows, so the picture's wrap and its top and
// bottom rows are seamless by construction.

#include <string>

constexpr int skyPictureWidth = 2048;   // once round the horizon
constexpr int skyPictureHeight = 1024;  // straight down to straight up

void writeSkyPicture(const std::string& path);
