#pragma once
// Start-up, the frame loop and shutdown. Returns 0 after a normal shutdown;
// every start-up failure ends the process through fatalError instead.

int runGame();
