#include "gpu/FatalError.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool inputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

}  // namespace

void fatalError(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) std::cout << line << std::endl;

    // A console window would close at once, so wait for a key, but only when
    // someone can press one: a launcher, a script or a test must never hang.
    if (inputIsTerminal()) std::getchar();

    std::exit(-1);
}
