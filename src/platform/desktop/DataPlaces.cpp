// Where the desktop game looks for its data: the working directory, beside
// the executable, and an installed game's places (platform/DataFolder.h).
#include "platform/Platform.h"

#include <cstdlib>
#include <system_error>

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

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

namespace platform {

DataFolder enterDataFolder(const char* configName) {
    std::error_code error;
    DataFolder data = findDataFolder({fs::current_path(error), executablePath(), environment("XDG_CONFIG_HOME"), environment("HOME")}, configName);
    if (data.found && (fs::current_path(data.folder, error), error))
        return {false, "", configName, std::string("Cannot enter ") + data.folder + " for " + data.configPath};
    return data;
}

}  // namespace platform
