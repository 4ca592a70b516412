#include "app/DataFolder.h"

#include <filesystem>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace fs = std::filesystem;

namespace {

// The data folder's places relative to the executable's own folder, in the order tried.
const char* const kBesideExecutable[] = {"data", "../data"};

// The running executable's path; empty where the system does not tell.
fs::path executablePath() {
#if defined(_WIN32)
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
#elif defined(__APPLE__)
    uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string path(size, '\0');
    return _NSGetExecutablePath(path.data(), &size) == 0 ? fs::path(path.c_str()) : fs::path();
#else
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error);
#endif
}

// Anything there but a folder counts, as the config reader opens whatever it finds.
bool holds(const fs::path& folder, const char* name) {
    std::error_code error;
    return fs::exists(folder / name, error) && !fs::is_directory(folder / name, error);
}

}  // namespace

DataFolder enterDataFolder(const char* configName) {
    std::error_code error;
    std::vector<fs::path> tried = {fs::current_path(error)};
    if (holds(tried[0], configName)) return {true, ""};

    const fs::path executable = executablePath();
    if (!executable.empty()) {
        for (const char* place : kBesideExecutable) {
            const fs::path folder = (executable.parent_path() / place).lexically_normal();
            tried.push_back(folder);
            if (holds(folder, configName) && (fs::current_path(folder, error), !error)) return {true, ""};
        }
    }

    std::string line = std::string("Found no ") + configName + " in ";
    for (size_t i = 0; i < tried.size(); ++i)
        line += (i == 0 ? "" : i + 1 < tried.size() ? ", " : " or ") + tried[i].u8string();
    return {false, line};
}
