// The settings reader on arbitrary bytes: it keeps whole groups only, and its
// integer conversion agrees with the C library's, saturated to int.
#include "app/Config.h"
#include "FuzzCheck.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

int referenceInt(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool hasBlank(const std::string& token) {
    return std::any_of(token.begin(), token.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzCheck(parseLeadingInt(text) == referenceInt(text), "parseLeadingInt agrees with strtoll");

    std::istringstream in(text);
    Config config;
    config.read(in);
    for (const auto& [key, value] : config.entries) {
        fuzzCheck(!key.empty() && !hasBlank(key) && !value.empty() && !hasBlank(value), "entries are single tokens");
        fuzzCheck(parseLeadingInt(value) == referenceInt(value), "values convert like strtoll");
    }
    for (const char* key : {"WIDTH", "HEIGHT", "FULLSCREEN"}) config.integer(key);
    return 0;
}
