#pragma once
// The sky picture: a blue sky with soft clouds and a sun over a sea horizon,
// drawn for the sky box faces laid out in SkyLayout.h.

#include <string>

void writeSkyPicture(const std::string& path);
