#pragma once
// veltran-cli's command line: the link options, then one command with its own
// arguments. Each command's words end in its options struct; the command
// function gets that struct and never sees the parser.

#include <iosfwd>

// Parses the words, answers --help and --version, and runs the command given.
// Returns the process exit code (2 for a usage error, with the command's usage).
int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);
