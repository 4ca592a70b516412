// Where the game finds its data folder and which config file it reads, from
// a made-up tree: a checkout, an unpacked game, an installed one, the
// player's own config homes. The fatal message of a start from nowhere:
// tests/gl/bad-inputs.txt; of the installed game: tests/e2e/test_deb.py.
#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

// Every folder below exists; the config files only where a case puts them.
const char* const kFolders[] = {"elsewhere", "usr/games", "usr/share/games/quellmoor", "home/.config/quellmoor", "xdg/quellmoor",
                                "checkout/build", "checkout/data", "unpacked/data", "opt/games"};

struct Case {
    const char* what;
    std::vector<const char*> configs;  // folders that hold config.txt
    const char* cwd;
    const char* executable;
    const char* configHome;  // absolute ones get the tree's root in front
    bool home;               // $HOME is the tree's home/
    const char* folder;      // expected data folder, or "" for none found
    const char* configPath;  // expected file to read, or the message when none found ({} stands for the tree's root)
};

const Case kCases[] = {
    {"the working directory comes first", {"elsewhere", "usr/share/games/quellmoor", "home/.config/quellmoor"}, "elsewhere",
     "usr/games/quellmoor", "", true, "elsewhere", "config.txt"},
    {"installed, no config of the player's", {"usr/share/games/quellmoor"}, "elsewhere", "usr/games/quellmoor", "", true,
     "usr/share/games/quellmoor", "config.txt"},
    {"installed, the player's in ~/.config", {"usr/share/games/quellmoor", "home/.config/quellmoor"}, "elsewhere", "usr/games/quellmoor", "",
     true, "usr/share/games/quellmoor", "{}/home/.config/quellmoor/config.txt"},
    {"installed, the player's in XDG_CONFIG_HOME", {"usr/share/games/quellmoor", "home/.config/quellmoor", "xdg/quellmoor"}, "elsewhere",
     "usr/games/quellmoor", "/xdg", true, "usr/share/games/quellmoor", "{}/xdg/quellmoor/config.txt"},
    {"a relative XDG_CONFIG_HOME is ignored", {"usr/share/games/quellmoor", "home/.config/quellmoor", "elsewhere/xdg/quellmoor"}, "elsewhere",
     "usr/games/quellmoor", "xdg", true, "usr/share/games/quellmoor", "{}/home/.config/quellmoor/config.txt"},
    {"installed, the player's only, the installed one removed", {"home/.config/quellmoor"}, "elsewhere", "usr/games/quellmoor", "", true,
     "usr/share/games/quellmoor", "{}/home/.config/quellmoor/config.txt"},
    {"the checkout's build never reads the player's", {"checkout/data", "home/.config/quellmoor", "usr/share/games/quellmoor"}, "elsewhere",
     "checkout/build/quellmoor", "", true, "checkout/data", "config.txt"},
    {"unpacked, data beside the executable", {"unpacked/data", "checkout/data"}, "elsewhere", "unpacked/quellmoor", "", true, "unpacked/data",
     "config.txt"},
    {"installed elsewhere, its data missing", {"home/.config/quellmoor"}, "elsewhere", "opt/games/quellmoor", "", true, "",
     "Found no config.txt in {}/elsewhere, {}/opt/games/data, {}/opt/data, {}/home/.config/quellmoor or {}/opt/share/games/quellmoor"},
    {"installed, no config anywhere", {}, "elsewhere", "usr/games/quellmoor", "/xdg", true, "",
     "Found no config.txt in {}/elsewhere, {}/usr/games/data, {}/usr/data, {}/xdg/quellmoor or {}/usr/share/games/quellmoor"},
    {"installed, without any config home", {}, "elsewhere", "usr/games/quellmoor", "", false, "",
     "Found no config.txt in {}/elsewhere, {}/usr/games/data, {}/usr/data or {}/usr/share/games/quellmoor"},
    {"no executable path", {"checkout/data"}, "elsewhere", "", "", true, "", "Found no config.txt in {}/elsewhere"},
};

std::string rooted(std::string text, const std::string& root) {
    for (size_t at; (at = text.find("{}")) != std::string::npos;) text.replace(at, 2, root);
    return text;
}

}  // namespace

TEST(DataFolder, FindsTheDataAndTheConfigToRead) {
    const fs::path root = fs::temp_directory_path() / ("quellmoor-data-folder-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    for (const Case& c : kCases) {
        fs::remove_all(root);
        for (const char* folder : kFolders) fs::create_directories(root / folder);
        for (const char* folder : c.configs) {
            fs::create_directories(root / folder);
            std::ofstream(root / folder / "config.txt") << "WIDTH = 640\n";
        }
        const std::string configHome = c.configHome[0] == '/' ? root.string() + c.configHome : c.configHome;
        const DataPlaces places{root / c.cwd, c.executable[0] ? root / c.executable : fs::path(), configHome, c.home ? (root / "home").string() : ""};
        const DataFolder data = findDataFolder(places, "config.txt");
        EXPECT_EQ(data.found, c.folder[0] != 0) << c.what;
        if (data.found) {
            EXPECT_EQ(data.folder, (root / c.folder).string()) << c.what;
            EXPECT_EQ(data.configPath, rooted(c.configPath, root.string())) << c.what;
        } else {
            EXPECT_EQ(data.whereLooked, rooted(c.configPath, root.string())) << c.what;
            EXPECT_EQ(data.configPath, "config.txt") << c.what;
        }
    }
    fs::remove_all(root);
}
