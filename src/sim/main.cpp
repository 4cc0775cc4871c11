// veltran-sim: a simulated titrator on a pseudo-terminal. See README.md.
#include "sim/DeviceFs.h"
#include "sim/Link.h"
#include "sim/Options.h"
#include "sim/Pty.h"
#include "sim/Signals.h"
#include "sim/Simulator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;
using namespace sim;

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int kHangupDrainMs = 1000;

// The file system root; a temporary one is removed when the run ends.
class Root {
public:
    bool prepare(const Options& opts, std::string& error) {
        if (opts.root.empty()) {
            std::string pattern = (fs::temp_directory_path() / "veltran-sim-XXXXXX").string();
            if (!::mkdtemp(pattern.data())) {
                error = "cannot create a temporary root";
                return false;
            }
            path_ = pattern;
            temporary_ = true;
        } else {
            path_ = opts.root;
            std::error_code ec;
            fs::create_directories(path_, ec);
        }
        const DeviceFs files(path_);
        for (const std::string& folder : modelFolders(*opts.model, opts.firmware)) {
            if (!files.createFolders(folder)) {
                error = "cannot create " + (path_ / folder).string();
                return false;
            }
        }
        return true;
    }
    ~Root() {
        std::error_code ec;
        if (temporary_)
            fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
    bool temporary_ = false;
};

int serve(const Options& opts, const Root& root, std::ostream* log) {
    std::string error;
    auto pty = Pty::open(error);
    if (!pty) {
        std::cerr << "veltran-sim: " << error << '\n';
        return kExitFailure;
    }
    if (!opts.linkPath.empty() && !makeLink(opts.linkPath, pty->slavePath(), error)) {
        std::cerr << "veltran-sim: " << error << '\n';
        return kExitFailure;
    }
    std::cout << "PTY " << pty->slavePath() << std::endl;
    std::cerr << "veltran-sim: " << opts.model->idText << " firmware " << opts.firmware.text
              << ", root " << root.path().string() << '\n';

    Link link(pty->masterFd(), opts.baud);
    const DeviceFs files(root.path());
    Simulator simulator(link, files,
                        {opts.model, opts.firmware, opts.faults, log, opts.persist, opts.slots,
                         opts.info, opts.verdict});
    const EndReason end = simulator.run();
    if (end == EndReason::HungUp)
        pty->waitUntilPeerRead(kHangupDrainMs); // the last answer still gets through
    pty->close();
    if (!opts.linkPath.empty())
        removeLink(opts.linkPath, pty->slavePath());
    if (end == EndReason::HungUp)
        std::cerr << "veltran-sim: hung up as asked\n";
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "veltran-sim: " << parsed.error << "\n(see --help)\n";
        return kExitUsage;
    }
    const Options& opts = *parsed.options;
    if (opts.help || opts.version) {
        std::cout << (opts.help ? usageText() : versionLine());
        return EXIT_SUCCESS;
    }
    installStopSignals();
    std::ofstream logFile;
    if (!opts.logPath.empty()) {
        logFile.open(opts.logPath, std::ios::binary | std::ios::trunc);
        if (!logFile) {
            std::cerr << "veltran-sim: cannot write " << opts.logPath << '\n';
            return kExitFailure;
        }
    }
    Root root;
    std::string error;
    if (!root.prepare(opts, error)) {
        std::cerr << "veltran-sim: " << error << '\n';
        return kExitFailure;
    }
    return serve(opts, root, logFile.is_open() ? &logFile : nullptr);
}
