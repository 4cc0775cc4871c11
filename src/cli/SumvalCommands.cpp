#include "cli/SumvalCommands.h"

#include "cli/ExitCodes.h"
#include "core/RegularFile.h"
#include "core/SumvalLibrary.h"
#include "upgrade/UpgradeName.h"

#include <cstdint>
#include <cstdio>
#include <ostream>

namespace {

// What a script's reader needs to know of the library's code.
const char* verifyMeaning(std::int32_t code) {
    switch (code) {
    case sumval::kValid:
        return " valid";
    case sumval::kBadName:
        return " bad name";
    case sumval::kBadChecksum:
        return " checksum";
    case sumval::kBadMethodType:
        return " type not allowed for the family";
    default:
        return "";
    }
}

} // namespace

int cmdVerify(const VerifyOptions& options, std::ostream& out, std::ostream& err) {
    std::int32_t code = 0;
    std::string error;
    if (!sumval::verifyMethodFile(options.file, options.family, code, error)) {
        err << error << '\n';
        return cliexit::kUsage;
    }
    out << code << verifyMeaning(code) << '\n';
    return code == sumval::kValid ? cliexit::kOk : cliexit::kFailed;
}

int cmdChecksum(const std::string& file, std::ostream& out, std::ostream& err) {
    // The library answers 0xFFFF for a file it cannot read, which is also a
    // possible register: tell the two apart before asking it.
    std::string content, error;
    if (!readRegularFile(file, kMaxDocumentBytes, content, error) || content.empty()) {
        err << "cannot read " << file << ": " << (error.empty() ? "the file is empty" : error)
            << '\n';
        return cliexit::kUsage;
    }
    std::uint32_t value = 0;
    if (!sumval::fileChecksum(file, value, error)) {
        err << error << '\n';
        return cliexit::kUsage;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    out << text << '\n';
    return cliexit::kOk;
}

int cmdUpgradeName(const std::string& name6, std::ostream& out, std::ostream& err) {
    std::string checksum;
    std::string error;
    if (!expectedUpgradeNameChecksum(name6, checksum, error)) {
        err << error << '\n';
        return cliexit::kUsage;
    }
    out << checksum << '\n';
    return cliexit::kOk;
}
