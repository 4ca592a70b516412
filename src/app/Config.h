#pragma once
// The "config.txt" reader. The file is a stream of whitespace-separated
// tokens taken three at a time: key, separator (ignored), value. A group cut
// short by the end of the file is dropped; a later key replaces an earlier
// one. Keys compare byte for byte, so "width" is not "WIDTH". There are no
// defaults: a missing key reads as 0.

#include <istream>
#include <map>
#include <string>

class Config {
public:
    // Reads the first 64 KiB of path; a file that does not open leaves the table empty.
    void load(const char* path);
    void read(std::istream& in);

    // The value of key converted like atoi; a missing key is inserted empty and gives 0.
    int integer(const std::string& key);

    std::map<std::string, std::string> entries;
};

// atoi without its undefined behaviour on overflow: leading whitespace,
// optional sign, digits up to the first non-digit; no digits gives 0.
// Values beyond the int range saturate.
int parseLeadingInt(const std::string& text);
