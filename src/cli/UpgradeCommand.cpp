#include "cli/UpgradeCommand.h"

#include "cli/CliInterrupt.h"
#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "upgrade/UpgradeProcedure.h"

#include <functional>
#include <ostream>

namespace {

// Progress as stderr lines, one per percent that changes.
class CliUpgradeView : public UpgradeView {
public:
    explicit CliUpgradeView(std::ostream& err) : err_(err) {}
    // The Abort button comes up: a stop asked for earlier can now take hold.
    std::function<void()> transferring;
    void setControls(const UpgradeControls& controls) override {
        if (controls.abortVisible && controls.abortEnabled && transferring)
            transferring();
    }
    void showDevice(const std::string&) override {}
    void showFile(const std::filesystem::path&) override {}
    void showProgress(int percent) override {
        if (percent == shown_ || (shown_ < 0 && percent == 0))
            return;
        shown_ = percent;
        err_ << "upgrade: " << percent << " %\n";
    }
    void closeWindow() override {}

private:
    std::ostream& err_;
    int shown_ = -1;
};

int exitCode(UpgradeProcedure::Outcome outcome, bool linkLost) {
    using O = UpgradeProcedure::Outcome;
    switch (outcome) {
    case O::Accepted:
        return cliexit::kOk;
    case O::LinkFailed:
    case O::Aborted:
        return linkLost ? cliexit::kNoLink : cliexit::kFailed;
    case O::Failed:
    case O::Ignored:
        return cliexit::kUsage;
    default:
        return cliexit::kFailed;
    }
}

} // namespace

int cmdUpgrade(const LinkOptions& options, const std::string& file, std::ostream& out,
               std::ostream& err) {
    CliInterrupt interrupt;
    CliLink link(options, err);
    if (!link.ready())
        return cliexit::kUsage;
    CliUpgradeView view(err);
    UpgradeProcedure procedure(link.serial(), link.host(), view);
    procedure.chooseFile(file);
    if (const auto refused = procedure.checkChosenFile())
        return exitCode(*refused, false);
    link.stopOn(interrupt);
    if (const int failed = link.connect())
        return interrupt.exitCode(failed);
    int code = cliexit::kFailed;
    if (!interrupt.caught()) {
        view.transferring = [&] {
            if (interrupt.caught())
                procedure.abort();
        };
        const auto stop = interrupt.onSignal([&procedure] { procedure.abort(); });
        const UpgradeProcedure::Outcome outcome = procedure.upgrade();
        const bool linkLost = !link.monitor().titratorOnline();
        if (linkLost)
            err << link.statusText() << "\n";
        if (!procedure.verdict().empty())
            out << procedure.verdict() << "\n";
        code = exitCode(outcome, linkLost);
    }
    if (interrupt.caught())
        link.settle();
    return interrupt.exitCode(code);
}
