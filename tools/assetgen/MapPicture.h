#pragma once
// A top-down picture of the island for the documentation: +x to the right,
// -z up (the direction the player first looks), land and water coloured by
// height, the start marked, the winning line x = 5 and the playing field drawn.

#include <string>

void writeMapPicture(const std::string& path);
