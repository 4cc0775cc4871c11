#pragma once
#include <string>

// The running program's version: major, minor and revision (9999 marks a release).
constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 9999;

std::string appVersionText();
// major + "." + minor, as compared with titrator firmware bounds.
std::string appVersionShort();
