#pragma once

#include <functional>

class Prompts;

// Runs one user command; any error it throws is shown in a message box and the program goes on.
// No exception crosses a Qt event boundary.
void runCommand(Prompts &prompts, const std::function<void()> &command);
