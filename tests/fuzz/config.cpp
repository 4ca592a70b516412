// The settings reader on any bytes: it keeps whole groups of single tokens
// only, and converts numbers like the C library, saturated to int.
#include "FuzzCheck.h"
#include "app/Config.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto reference = [](const std::string& text) { return int(std::clamp<long long>(std::strtoll(text.c_str(), nullptr, 10), INT_MIN, INT_MAX)); };
    auto token = [](const std::string& t) { return !t.empty() && std::none_of(t.begin(), t.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }); };
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzCheck(parseLeadingInt(text) == reference(text), "parseLeadingInt agrees with strtoll");
    std::istringstream in(text);
    Config config;
    config.read(in);
    for (const auto& [key, value] : config.entries)
        fuzzCheck(token(key) && token(value) && parseLeadingInt(value) == reference(value), "entries are single tokens, converted like strtoll");
    return 0;
}
