#include "cli/LinkCommands.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLines.h"
#include "core/Numbers.h"
#include "link/LinkMonitor.h"

#include <ostream>

namespace {

std::string firmwareText(float version) {
    return num::fixed(static_cast<double>(version), 2);
}
} // namespace

int cmdIdentify(const LinkOptions& options, bool json, std::ostream& out, std::ostream& err) {
    CliLink link(options, err);
    if (!link.ready())
        return cliexit::kUsage;
    if (const int failed = link.connect())
        return failed;
    const TitratorIdentity& id = link.monitor().identity();
    if (!id.firmwareRead)
        err << "the titrator did not report its firmware version: it was not checked "
               "against the configured bounds\n";
    if (json) {
        writeJsonLine(out, identityJson(id));
        return cliexit::kOk;
    }
    out << "model=" << id.idText << " typeCode=" << id.typeCode << " titType=" << id.titType
        << " modelCode=" << modelCodeName(id.modelCode) << " series=" << seriesName(id.seriesCode)
        << " firmware=" << firmwareText(id.firmwareVersion) << "\n";
    return cliexit::kOk;
}
