#include "core/Version.h"

#include "core/Text.h"

std::string appVersionText() {
    return versionText(kVersionMajor, kVersionMinor, kVersionRevision);
}

std::string appVersionShort() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}
