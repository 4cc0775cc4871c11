#pragma once
// Which device stands behind a port number.
#include <filesystem>
#include <string>

// "[Ports] N=" of the configuration when set, else the platform's name for
// port N (/dev/ttyS<N-1>, COMN on Windows); "" for a number below 1.
std::string deviceForPort(int n, const std::filesystem::path& configIni);
