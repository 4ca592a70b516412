#include "gpu/FatalError.h"

#include "platform/Platform.h"

#include <cstdlib>
#include <iostream>

void fatalError(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) std::cout << line << std::endl;
    platform::showFatalMessage(lines);
    std::exit(-1);
}
