#pragma once
// veltran-cli upgrade: the firmware upgrade without the window.
#include <iosfwd>
#include <string>

struct LinkOptions;

// upgrade FILE: checks the file (name checksum, readable, not empty, not too
// large) before any traffic, connects, checks the model with "info", announces
// the checksum, sends the file and prints the titrator's verdict. Progress goes
// to stderr. Exit 0 only when the titrator answers "ok"; 1 for a refused file,
// another verdict or a failed exchange; 2 for usage and set-up errors (the
// checksum library missing included); 3 when the link fails or is lost; 4 a
// titrator not identified or refused; 130/143 after Ctrl-C/SIGTERM, which stop
// the transfer as Abort does.
int cmdUpgrade(const LinkOptions& options, const std::string& file, std::ostream& out,
               std::ostream& err);
