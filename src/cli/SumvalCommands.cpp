#include "cli/SumvalCommands.h"

#include "cli/ExitCodes.h"
#include "core/RegularFile.h"
#include "core/SumvalLibrary.h"
#include "upgrade/UpgradeName.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>

namespace {

constexpr const char* kVerifyUsage = "usage: veltran-cli verify FILE --family N";
constexpr const char* kChecksumUsage = "usage: veltran-cli checksum FILE";
constexpr const char* kUpgradeNameUsage = "usage: veltran-cli upgrade-name NAME6";

int usage(std::ostream& err, const std::string& problem, const char* usageLine) {
    err << problem << '\n' << usageLine << '\n';
    return cliexit::kUsage;
}

std::optional<std::int32_t> parseFamily(const std::string& text) {
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [next, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || next != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int cmdVerify(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> file;
    std::optional<std::string> familyText;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--family") {
            if (i + 1 == args.size()) {
                return usage(err, "--family needs a number", kVerifyUsage);
            }
            familyText = args[++i];
        } else if (!optionsEnded && arg.rfind("--family=", 0) == 0) {
            familyText = arg.substr(9);
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return usage(err, "unknown option " + arg, kVerifyUsage);
        } else if (file) {
            return usage(err, "only one FILE may be given", kVerifyUsage);
        } else {
            file = arg;
        }
    }
    if (!file) {
        return usage(err, "no FILE given", kVerifyUsage);
    }
    if (!familyText) {
        return usage(err, "no --family given", kVerifyUsage);
    }
    const std::optional<std::int32_t> family = parseFamily(*familyText);
    if (!family) {
        return usage(err, "--family must be an integer, not '" + *familyText + "'", kVerifyUsage);
    }
    std::int32_t code = 0;
    std::string error;
    if (!sumval::verifyMethodFile(*file, *family, code, error)) {
        err << error << '\n';
        return cliexit::kUsage;
    }
    out << code << '\n';
    return code == sumval::kValid ? cliexit::kOk : cliexit::kFailed;
}

int cmdChecksum(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return usage(err, args.empty() ? "no FILE given" : "only one FILE may be given",
                     kChecksumUsage);
    }
    // The library answers 0xFFFF for a file it cannot read, which is also a
    // possible register: tell the two apart before asking it.
    std::string content, error;
    if (!readRegularFile(args[0], kMaxDocumentBytes, content, error) || content.empty()) {
        err << "cannot read " << args[0] << ": " << (error.empty() ? "the file is empty" : error)
            << '\n';
        return cliexit::kUsage;
    }
    std::uint32_t value = 0;
    if (!sumval::fileChecksum(args[0], value, error)) {
        err << error << '\n';
        return cliexit::kUsage;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    out << text << '\n';
    return cliexit::kOk;
}

int cmdUpgradeName(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return usage(err, args.empty() ? "no NAME6 given" : "only one NAME6 may be given",
                     kUpgradeNameUsage);
    }
    std::string checksum;
    std::string error;
    if (!expectedUpgradeNameChecksum(args[0], checksum, error)) {
        err << error << '\n';
        return cliexit::kUsage;
    }
    out << checksum << '\n';
    return cliexit::kOk;
}
