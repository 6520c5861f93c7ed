// The program from start to end, under whichever presenter the front end installed.
#pragma once

namespace pz::shell {

// Creates the windows, shows the main window until it closes, and returns the exit code.
int runProgram();

}  // namespace pz::shell
