#pragma once
// What the tests share: temporary directories and files, and child
// processes. CTest runs each test case in a process of its own.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A fresh empty directory under /tmp, removed by the destructor.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

std::string readFile(const std::string& path);
// The lines of a data file that are neither blank nor comments (#).
std::vector<std::string> dataLines(const std::string& path);
// text cut at every separator.
std::vector<std::string> split(const std::string& text, const std::string& separator);
// Replaces path (a link itself, not the file it names), creating parent directories.
void writeFile(const std::string& path, const std::string& bytes);

struct ChildResult {
    std::string out, err;
    int status = -1;  // exit status, or -1 when killed or out of time
};

// Runs body in a forked child in dir, stdin from /dev/null; what it returns
// is the exit status. The parent must not have opened a GL context.
ChildResult runInChild(const std::function<int()>& body, const std::string& dir, double timeoutSeconds = 120);
