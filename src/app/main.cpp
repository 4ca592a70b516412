// The game takes no arguments: everything comes from "config.txt" and the
// data files in the working directory.
#include "app/Game.h"

int main() { return runGame(); }
