#include "support/Harness.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

TempDir::TempDir() : path(mkdtemp(std::string("/tmp/quellmoor-test-XXXXXX").data())) {}

TempDir::~TempDir() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> dataLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(path));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + separator.size()) parts.push_back(text.substr(at, next - at));
    parts.push_back(text.substr(at));
    return parts;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << bytes;
}

ChildResult runInChild(const std::function<int()>& body, const std::string& dir, double timeoutSeconds) {
    const TempDir capture;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "r", stdin);
        std::freopen((capture / "out").c_str(), "w", stdout);
        std::freopen((capture / "err").c_str(), "w", stderr);
        if (chdir(dir.c_str()) != 0) _exit(127);
        std::exit(body());  // exit, not _exit: a sanitized build checks for leaks at exit
    }
    ChildResult result;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (waitpid(pid, &status, WNOHANG) == 0)
        if (std::chrono::steady_clock::now() < deadline) usleep(10000);
        else kill(pid, SIGKILL), waitpid(pid, &status, 0), status = -1;
    if (status != -1 && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    result.out = readFile(capture / "out"), result.err = readFile(capture / "err");
    return result;
}
