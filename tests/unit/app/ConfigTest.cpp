// The config reader: groups of three whitespace-separated tokens.
#include "app/Config.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <sstream>

static Config parse(const std::string& text) {
    Config config;
    std::istringstream in(text);
    config.read(in);
    return config;
}

TEST(Config, GroupsOfKeySeparatorValue) {
    Config missing;
    missing.load("/nonexistent/config.txt");
    EXPECT_TRUE(missing.entries.empty());
    Config sized = parse("WIDTH = 800\nHEIGHT\t:\t600");
    EXPECT_EQ(sized.integer("WIDTH") * 1000 + sized.integer("HEIGHT"), 800600);
    EXPECT_EQ(sized.integer("FULLSCREEN"), 0);
    Config twice = parse("WIDTH = 800 WIDTH = 1024px FULLSCREEN =");
    EXPECT_EQ(twice.integer("WIDTH"), 1024) << "the later key wins, converted like atoi";
    EXPECT_EQ(twice.entries.count("FULLSCREEN"), 0u) << "a trailing incomplete group is dropped";
    EXPECT_EQ(parse("width = 800").integer("WIDTH"), 0);
    // "WIDTH=800" is one token: the groups become (WIDTH=800, HEIGHT, =) and (600, FULLSCREEN, =).
    Config shifted = parse("WIDTH=800 HEIGHT = 600 FULLSCREEN = 0");
    EXPECT_EQ(shifted.integer("WIDTH") + shifted.integer("HEIGHT"), 0);
    EXPECT_EQ(shifted.entries["600"], "=");
    for (auto [text, value] : {std::pair{"  -12", -12}, {"+7", 7}, {"yes", 0}, {"", 0},
                               {"99999999999999999999", 2147483647}, {"-99999999999999999999", -2147483647 - 1}})
        EXPECT_EQ(parseLeadingInt(text), value) << text;
}

TEST(Config, OnlyTheStartOfARunawayFileIsRead) {
    TempDir dir;
    writeTextFile(dir / "config.txt", "WIDTH = 640 HEIGHT = 480 " + std::string(1 << 20, 'x') + " = 1");
    Config config;
    config.load((dir / "config.txt").c_str());
    EXPECT_EQ(config.integer("WIDTH") * 1000 + config.integer("HEIGHT"), 640480);
    Config device;
    device.load("/dev/zero");  // endless, and NUL is no separator
    EXPECT_TRUE(device.entries.empty());
}
