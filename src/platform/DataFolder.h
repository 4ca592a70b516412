#pragma once
// Where the game finds its data and its config file. Started from its data
// folder (the README's `make run`, or a shortcut that sets the folder) it
// reads everything there. Started from anywhere else (a desktop menu, a file
// manager, a double-click on the executable, ./build/quellmoor from the
// checkout) it looks for the data folder beside its executable: "data" next
// to it (an unpacked game), then "../data" (build/quellmoor in the
// checkout). Installed in a "games" folder (/usr/games/quellmoor) it then
// looks in ../share/games/quellmoor, which is read-only: there the player's
// own config.txt in $XDG_CONFIG_HOME/quellmoor (~/.config/quellmoor by
// default) is read instead of the installed one when it exists. The first
// place that has the config file wins; its data folder becomes the working
// directory, so every other path the game reads stays relative to it.
// Needs no GL and no window. Each platform fills in its places and enters
// the folder (platform::enterDataFolder).

#include <filesystem>
#include <string>

// What one start of the game looks from: the process and its environment.
struct DataPlaces {
    std::filesystem::path workingDirectory;
    std::filesystem::path executable;  // empty where the system does not tell
    std::string configHome;            // $XDG_CONFIG_HOME; used only when absolute
    std::string home;                  // $HOME; ~/.config stands in for an unusable configHome
};

struct DataFolder {
    bool found = false;       // folder holds the data and configPath names a file
    std::string folder;       // the data folder, absolute
    std::string configPath;   // the config file to read once in folder: the plain name, or the player's own (absolute)
    std::string whereLooked;  // when not found: one line naming the file and every folder tried
};

// The first place of the lookup that has the config file; changes nothing.
DataFolder findDataFolder(const DataPlaces& places, const char* configName);

