#pragma once
#include <string>

// The running program's version, from the build's project version.
std::string appVersionText();
// major + "." + minor, as compared with titrator firmware bounds.
std::string appVersionShort();
