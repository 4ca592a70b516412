#include "gpu/FatalError.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

void fatalError(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) std::cout << line << std::endl;

    // A console window would close at once, so wait for a key, but only when
    // someone can press one: a launcher, a script or a test must never hang.
    if (isatty(STDIN_FILENO)) std::getchar();

    std::exit(-1);
}
