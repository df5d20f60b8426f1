#pragma once
// The options every installed tool answers alike: --version prints the tool's
// name and the set's version, --help prints its usage; both on standard output.

// True when the first argument is --version, --help or -h and its answer was printed.
bool PrintToolInfo(int argc, char** argv, const char* name, const char* usage);
