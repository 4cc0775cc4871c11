// seal-method [IN [OUT]]: writes the method text IN (or standard input, also
// for "-") to OUT (or standard output) with its two CRC bytes appended, so that
// libsumval accepts the result's checksum. IN is read whole first, so OUT may
// name the same file.
#include "seal.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

bool readAll(const std::string& name, std::string& text) {
    std::ostringstream buffer;
    if (name.empty() || name == "-") {
        buffer << std::cin.rdbuf();
        text = buffer.str();
        return !std::cin.bad();
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        return false;
    }
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

bool writeAll(const std::string& name, const std::string& text) {
    if (name.empty() || name == "-") {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
        return static_cast<bool>(std::cout);
    }
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 3 ||
        (argc > 1 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0))) {
        std::cerr << "usage: seal-method [IN [OUT]]  ('-' or nothing: standard input/output)\n";
        return kExitUsage;
    }
    // Binary standard streams: a method's CR LF and the CRC bytes pass unchanged.
    std::ios::sync_with_stdio(false);
    const std::string inName = argc > 1 ? argv[1] : "";
    const std::string outName = argc > 2 ? argv[2] : "";
    std::string text;
    if (!readAll(inName, text)) {
        std::cerr << "seal-method: cannot read " << (inName.empty() ? "standard input" : inName)
                  << '\n';
        return kExitFailure;
    }
    if (!writeAll(outName, sumval::sealed(std::move(text)))) {
        std::cerr << "seal-method: cannot write " << (outName.empty() ? "standard output" : outName)
                  << '\n';
        return kExitFailure;
    }
    return kExitOk;
}
