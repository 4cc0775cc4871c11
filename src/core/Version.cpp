#include "core/Version.h"

#include "core/Text.h"

namespace {
// Set by the build from project(); a revision of 9999 marks a release.
constexpr int kVersionMajor = VT_VERSION_MAJOR;
constexpr int kVersionMinor = VT_VERSION_MINOR;
constexpr int kVersionRevision = VT_VERSION_REVISION;
} // namespace

std::string appVersionText() {
    return versionText(kVersionMajor, kVersionMinor, kVersionRevision);
}

std::string appVersionShort() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}
