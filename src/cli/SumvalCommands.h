#pragma once
// veltran-cli commands backed by the checksum library. Results go to `out`,
// messages to `err`; each returns the process exit code.
#include <cstdint>
#include <iosfwd>
#include <string>

struct VerifyOptions {
    std::string file;
    std::int32_t family = 0; // --family N
};

// verify FILE --family N: prints VerifyMethodFile's code with its meaning ("0 valid",
// "3 bad name", "4 checksum", "5 type not allowed for the family"). Exit 0 for
// code 0, 1 for any other code, 2 for an unusable library.
int cmdVerify(const VerifyOptions& options, std::ostream& out, std::ostream& err);

// checksum FILE: prints the file's 32-bit CRC register as 0x%08X (0x00000000
// for a sealed file). Exit 0; 2 for a file that is missing, empty or cannot be
// read, or an unusable library.
int cmdChecksum(const std::string& file, std::ostream& out, std::ostream& err);

// upgrade-name NAME6: prints the two digits an upgrade file named NAME6 must
// carry as its characters 7 and 8. Exit 0; 2 for a bad name or an unusable library.
int cmdUpgradeName(const std::string& name6, std::ostream& out, std::ostream& err);
