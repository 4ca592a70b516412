#include "app/Config.h"

#include <cctype>
#include <climits>
#include <fstream>
#include <sstream>

namespace {

// A settings file is a few lines; whatever lies beyond this is ignored, so a
// runaway file (or a link to a device) cannot exhaust memory.
constexpr std::streamsize kMaxConfigBytes = 64 * 1024;

}  // namespace

void Config::load(const char* path) {
    std::ifstream in(path);
    if (!in.is_open()) return;
    std::string text(static_cast<size_t>(kMaxConfigBytes), '\0');
    in.read(&text[0], kMaxConfigBytes);
    text.resize(static_cast<size_t>(in.gcount()));
    std::istringstream head(text);
    read(head);
}

void Config::read(std::istream& in) {
    std::string key, separator, value;
    while (true) {
        in >> key >> separator >> value;
        if (in.fail()) break;
        entries[key] = value;
    }
}

int Config::integer(const std::string& key) { return parseLeadingInt(entries[key]); }

int parseLeadingInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
