#pragma once
// The game's icon: an island under the sun, seen from the sea, in a round
// frame on a transparent background. Drawn anew for every size (16 pixels up
// to 256), so that small ones stay sharp instead of being scaled down.

#include <string>
#include <vector>

// The sizes desktop themes look for, and those the Windows icon holds.
extern const std::vector<int> kThemeIconSizes;
extern const std::vector<int> kWindowsIconSizes;

// Writes <folder>/hicolor/<N>x<N>/apps/quellmoor.png for every theme size and
// <folder>/quellmoor.ico with the Windows sizes.
void writeIcons(const std::string& folder);
