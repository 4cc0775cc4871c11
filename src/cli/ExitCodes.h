#pragma once
// The exit codes of veltran-cli, a contract that scripts rely on.
namespace cliexit {
constexpr int kOk = 0;
constexpr int kFailed = 1;        // a check failed, a file was refused, a report not exported
constexpr int kUsage = 2;         // usage or setup error
constexpr int kNoLink = 3;        // the link did not come up or was lost
constexpr int kNotIdentified = 4; // the titrator answered but was not identified or refused
constexpr int kSignalBase = 128;  // + the signal that stopped it: 130 Ctrl-C, 143 SIGTERM
} // namespace cliexit
