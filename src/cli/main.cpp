// veltran-cli: the titrator companion for scripts and lab automation.
#include "cli/CommandLine.h"

#include <iostream>

int main(int argc, char* argv[]) {
    return runCommandLine(argc, argv, std::cout, std::cerr);
}
