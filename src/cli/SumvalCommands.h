#pragma once
// veltran-cli commands backed by the checksum library. Each takes the words
// after its command name and returns the process exit code; results go to
// `out`, messages to `err`.
#include <iosfwd>
#include <string>
#include <vector>

// verify FILE --family N: prints VerifyMethodFile's code (0 valid, 3 bad name,
// 4 bad checksum, 5 method type not allowed). Exit 0 for code 0, 1 for any
// other code, 2 for a usage error or an unusable library.
int cmdVerify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// checksum FILE: prints the file's 32-bit CRC register as 0x%08X (0x00000000
// for a sealed file). Exit 0; 2 for a usage error, a file that is missing,
// empty or cannot be read, or an unusable library.
int cmdChecksum(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// upgrade-name NAME6: prints the two digits an upgrade file named NAME6 must
// carry as its characters 7 and 8. Exit 0; 2 for a usage error or an unusable
// library.
int cmdUpgradeName(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
