#pragma once
// Where the game finds its data. Started from its data folder (the README's
// `make run`, or a shortcut that sets the folder) it reads everything there.
// Started from anywhere else (a desktop launcher, a file manager, a
// double-click on the executable, ./build/quellmoor from the checkout) it
// looks for the data folder beside its executable: "data" next to it (an
// unpacked or installed game), then "../data" (build/quellmoor in the
// checkout), and makes the first that holds the config file the working
// directory, so every path the game reads stays relative to it.
// Needs no GL and no window.

#include <string>

struct DataFolder {
    bool found = false;       // the working directory now holds the config file
    std::string whereLooked;  // when not found: one line naming the file and every folder tried
};

// Looks in the working directory first; changes it only to a folder that holds configName.
DataFolder enterDataFolder(const char* configName);
