#pragma once
// The one way this game reports a failure it cannot go on from: every line
// goes to standard output with an end of line and a flush (nothing goes to
// standard error), the game waits for a key when a person is at a terminal,
// and the process ends with exit status -1 (255 in the shell).

#include <initializer_list>
#include <string>

[[noreturn]] void fatalError(std::initializer_list<std::string> lines);
