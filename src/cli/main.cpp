// veltran-cli: the titrator companion for scripts and lab automation.
#include "cli/CommandLine.h"

int main(int argc, char* argv[]) {
    return runCommandLine(argc, argv);
}
