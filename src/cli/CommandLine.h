#pragma once
// The program's commands, run without any display: "digitize", --help and
// --version. Started with no arguments, the program opens its windows instead.

namespace vastrel::cli {

// Whether these arguments ask for a command rather than the windows. Options
// of Qt's own, such as -platform, still go to the windows.
bool isCommand(int argc, char** argv);

// Runs the command and returns the exit status: 0 done, 1 some image gave
// no CSV file, 2 the arguments are wrong.
int runCommand(int argc, char** argv);

}  // namespace vastrel::cli
