// veltran-cli: the titrator companion for scripts and lab automation.
#include "cli/CliLink.h"
#include "cli/ConfigCommands.h"
#include "cli/ExportCommand.h"
#include "cli/FileCommands.h"
#include "cli/LinkCommands.h"
#include "cli/PlotCommand.h"
#include "cli/PrintCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SumvalCommands.h"
#include "cli/UpgradeCommand.h"

#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: veltran-cli [--port DEV | --com N] [--speed B] COMMAND [ARGS]\n"
    "commands:\n"
    "  identify                  connect and print the titrator's model and firmware\n"
    "  verify FILE --family N    check a method file for model family N (0..3)\n"
    "  checksum FILE             print the file's CRC register as 0x%08X\n"
    "  upgrade-name NAME6        print the two digits an upgrade file name must carry\n"
    "  render FILE [--type N] [--kind K] [--firmware F] [--series QX50x|QX53x]\n"
    "              [--device-type T] [--out PATH]  print a method, sequence or report as shown\n"
    "  upgrade FILE              send a firmware upgrade file and print the titrator's verdict\n"
    "  print FILE [--type N] [--kind K] [--pdf OUT.pdf]  lay a document out on pages as a PDF\n"
    "  plot REPORT... --out FILE.png|FILE.svg [--x COLUMN] [--y COLUMN] [--derivative]\n"
    "       [--size WxH] [--json]  draw reports' curves (several overlaid); --json prints\n"
    "                            the parsed reports\n"
    "  config path               print where config.ini is\n"
    "  config get SECTION KEY    print a configuration value\n"
    "  config set SECTION KEY V  store a configuration value\n"
    "  export REPORT... [--to DIR] [--csv-sep 0|1] [--dec-sep 0|1] [--order 0|1|2]\n"
    "         [--summary-name NAME] [--no-replace]\n"
    "                            convert PC reports into CSV files, with a summary when\n"
    "                            there are several; options default to config.ini;\n"
    "                            existing CSV files are replaced unless --no-replace\n"
    "  export --from-titrator reports|tray-reports NAME... --to DIR [options as above]\n"
    "                            the same for reports fetched from the titrator\n"
    "  list CATEGORY [--tray NAME]                 list the titrator's files\n"
    "  get CATEGORY NAME... [--to DIR] [--move]    copy (move) titrator files to the PC\n"
    "  put CATEGORY FILE... [--move] [--replace ask|all|none]\n"
    "                            copy (move) PC files to the titrator\n"
    "  delete CATEGORY NAME... [--yes]             delete titrator files\n"
    "  CATEGORY: methods, std-methods, user-methods, reports, sequences, tray-reports\n"
    "exit codes: 0 success, 1 check failed or a file refused, 2 usage or setup error,\n"
    "            3 no link (or the link was lost),\n"
    "            4 titrator not identified\n";

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    std::string error;
    if (!parseCliOptions(args, options, error)) {
        std::cerr << error << "\n" << kUsage;
        return 2;
    }
    if (options.words.empty() || options.words[0] == "--help" || options.words[0] == "help") {
        (options.words.empty() ? std::cerr : std::cout) << kUsage;
        return options.words.empty() ? 2 : 0;
    }
    const std::string command = options.words[0];
    const std::vector<std::string> rest(options.words.begin() + 1, options.words.end());
    const auto app = cliApplication(argc, argv, command);
    if (command == "identify")
        return cmdIdentify(options, std::cout, std::cerr);
    if (command == "verify")
        return cmdVerify(rest, std::cout, std::cerr);
    if (command == "checksum")
        return cmdChecksum(rest, std::cout, std::cerr);
    if (command == "config")
        return cmdConfig(rest, std::cout, std::cerr);
    if (command == "export")
        return cmdExport(options, std::cout, std::cerr);
    if (command == "upgrade")
        return cmdUpgrade(options, std::cout, std::cerr);
    if (isFileCommand(command))
        return cmdFiles(options, std::cout, std::cerr);
    if (command == "upgrade-name")
        return cmdUpgradeName(rest, std::cout, std::cerr);
    if (command == "render")
        return cmdRender(rest, std::cout, std::cerr);
    if (command == "print")
        return cmdPrint(rest, std::cout, std::cerr);
    if (command == "plot")
        return cmdPlot(rest, std::cout, std::cerr);
    std::cerr << "unknown command \"" << command << "\"\n" << kUsage;
    return 2;
}
