#include "cli/UpgradeCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "upgrade/UpgradeProcedure.h"

#include <ostream>

namespace {

// Progress as stderr lines, one per percent that changes.
class CliUpgradeView : public UpgradeView {
public:
    explicit CliUpgradeView(std::ostream& err) : err_(err) {}
    void setControls(const UpgradeControls&) override {}
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

int exitCode(UpgradeProcedure::Outcome outcome) {
    using O = UpgradeProcedure::Outcome;
    switch (outcome) {
    case O::Accepted:
        return cliexit::kOk;
    case O::LinkFailed:
    case O::Aborted: // only the link ends a command-line upgrade early
        return cliexit::kNoLink;
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
    CliLink link(options, err);
    if (!link.ready())
        return cliexit::kUsage;
    CliUpgradeView view(err);
    UpgradeProcedure procedure(link.serial(), link.host(), view);
    procedure.chooseFile(file);
    if (const auto refused = procedure.checkChosenFile())
        return exitCode(*refused);
    if (!link.connect()) {
        err << link.statusText() << "\n";
        return cliexit::kNoLink;
    }
    const UpgradeProcedure::Outcome outcome = procedure.upgrade();
    if (outcome == UpgradeProcedure::Outcome::LinkFailed)
        err << link.statusText() << "\n";
    if (!procedure.verdict().empty())
        out << procedure.verdict() << "\n";
    return exitCode(outcome);
}
