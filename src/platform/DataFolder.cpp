#include "platform/DataFolder.h"

#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The data folder's places relative to the executable's own folder, in the order tried.
const char* const kBesideExecutable[] = {"data", "../data"};
// An executable in a folder of this name is an installed one (/usr/games, /usr/local/games) ...
const char* const kInstalledBinaryFolder = "games";
// ... with its read-only data here, relative to that folder ...
const char* const kInstalledData = "../share/games/quellmoor";
// ... and the player's own config file in this folder of their config home.
const char* const kPlayerFolder = "quellmoor";

// Anything there but a folder counts, as the config reader opens whatever it finds.
bool holds(const fs::path& folder, const char* name) {
    std::error_code error;
    return fs::exists(folder / name, error) && !fs::is_directory(folder / name, error);
}

// The player's config folder as the XDG base directories define it: an
// absolute $XDG_CONFIG_HOME, else ~/.config; none without either.
fs::path playerFolder(const DataPlaces& places) {
    if (fs::path(places.configHome).is_absolute()) return fs::path(places.configHome) / kPlayerFolder;
    if (!places.home.empty()) return fs::path(places.home) / ".config" / kPlayerFolder;
    return {};
}

// One place of the lookup: the config file is looked for in configFolder,
// and the game then runs in dataFolder.
struct Place {
    fs::path configFolder, dataFolder;
};

}  // namespace

DataFolder findDataFolder(const DataPlaces& places, const char* configName) {
    std::vector<Place> lookup = {{places.workingDirectory, places.workingDirectory}};
    if (!places.executable.empty()) {
        const fs::path beside = places.executable.parent_path();
        for (const char* place : kBesideExecutable) {
            const fs::path folder = (beside / place).lexically_normal();
            lookup.push_back({folder, folder});
        }
        if (beside.filename() == kInstalledBinaryFolder) {
            const fs::path installed = (beside / kInstalledData).lexically_normal();
            if (const fs::path player = playerFolder(places); !player.empty()) lookup.push_back({player, installed});
            lookup.push_back({installed, installed});
        }
    }

    std::error_code error;
    std::string line = std::string("Found no ") + configName + " in ";
    for (size_t i = 0; i < lookup.size(); ++i) {
        const Place& place = lookup[i];
        if (holds(place.configFolder, configName) && fs::is_directory(place.dataFolder, error)) {
            const bool own = place.configFolder == place.dataFolder;
            return {true, place.dataFolder.u8string(), own ? configName : (place.configFolder / configName).u8string(), ""};
        }
        line += (i == 0 ? "" : i + 1 < lookup.size() ? ", " : " or ") + place.configFolder.u8string();
    }
    return {false, "", configName, line};
}
