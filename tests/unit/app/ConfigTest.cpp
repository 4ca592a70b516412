// The config reader: groups of three whitespace-separated tokens.

#include "app/Config.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

Config parse(const std::string& text) {
    Config config;
    std::istringstream in(text);
    config.read(in);
    return config;
}

}  // namespace

TEST(Config, MissingFileLeavesTheTableEmptyAndKeysReadZero) {
    Config config;
    config.load("/nonexistent/config.txt");
    EXPECT_TRUE(config.entries.empty());
    EXPECT_EQ(config.integer("WIDTH"), 0);
    EXPECT_EQ(config.entries.count("WIDTH"), 1u);  // looking a key up inserts it
}

TEST(Config, GroupsIgnoreLinesAndTheSeparatorToken) {
    Config config = parse("WIDTH = 800\nHEIGHT\t:\t600");
    EXPECT_EQ(config.integer("WIDTH"), 800);
    EXPECT_EQ(config.integer("HEIGHT"), 600);
    EXPECT_EQ(config.integer("FULLSCREEN"), 0);
}

TEST(Config, LaterKeyWinsAndTrailingIncompleteGroupIsDropped) {
    Config config = parse("WIDTH = 800 WIDTH = 1024 FULLSCREEN =");
    EXPECT_EQ(config.integer("WIDTH"), 1024);
    EXPECT_EQ(config.entries.count("FULLSCREEN"), 0u);
    EXPECT_EQ(config.integer("FULLSCREEN"), 0);
}

TEST(Config, KeysAreCaseSensitive) {
    Config config = parse("width = 800 HEIGHT = 600");
    EXPECT_EQ(config.integer("WIDTH"), 0);
}

TEST(Config, KeyWithoutBlanksShiftsEveryLaterGroup) {
    // "WIDTH=800" is one token, so the groups become (WIDTH=800, HEIGHT, =)
    // and (600, FULLSCREEN, =); the trailing "0" is incomplete.
    Config config = parse("WIDTH=800 HEIGHT = 600 FULLSCREEN = 0");
    EXPECT_EQ(config.integer("WIDTH"), 0);
    EXPECT_EQ(config.integer("HEIGHT"), 0);
    EXPECT_EQ(config.entries["WIDTH=800"], "=");
    EXPECT_EQ(config.entries["600"], "=");
}

TEST(Config, ValuesConvertLikeAtoi) {
    EXPECT_EQ(parseLeadingInt("1024px"), 1024);
    EXPECT_EQ(parseLeadingInt("  -12"), -12);
    EXPECT_EQ(parseLeadingInt("+7"), 7);
    EXPECT_EQ(parseLeadingInt("yes"), 0);
    EXPECT_EQ(parseLeadingInt(""), 0);
    EXPECT_EQ(parseLeadingInt("99999999999999999999"), 2147483647);
    EXPECT_EQ(parseLeadingInt("-99999999999999999999"), -2147483647 - 1);
}
