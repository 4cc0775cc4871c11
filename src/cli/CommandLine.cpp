#include "cli/CommandLine.h"

#include "cli/AuditCommand.h"
#include "cli/CliLink.h"
#include "cli/ConfigCommands.h"
#include "cli/ExitCodes.h"
#include "cli/ExportCommand.h"
#include "cli/FileCommands.h"
#include "cli/LinkCommands.h"
#include "cli/PlotCommand.h"
#include "cli/PortsCommand.h"
#include "cli/PrintCommand.h"
#include "cli/RenderCommand.h"
#include "cli/SumvalCommands.h"
#include "cli/SyncCommand.h"
#include "cli/UpgradeCommand.h"
#include "core/AuditTrail.h"
#include "core/FileTypes.h"
#include "core/Numbers.h"
#include "core/Version.h"
#include "files/DeviceFiles.h"
#include "files/FileNames.h"
#include "link/ModelTable.h"
#include "link/PortNames.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <climits>
#include <functional>
#include <memory>
#include <ostream>

namespace {

// The command the words chose, its options bound.
struct Chosen {
    std::string name;
    std::function<int(std::ostream& out, std::ostream& err)> run;
};

// Remembers `run` as the command to run when `command` is the one given. `first`
// completes its options, or refuses a combination with CLI::ValidationError.
void onChosen(CLI::App* command, Chosen& chosen,
              std::function<int(std::ostream&, std::ostream&)> run,
              std::function<void()> first = {}) {
    command->callback([command, &chosen, run, first] {
        if (first)
            first();
        chosen = {command->get_name(), run};
    });
}

// Numbers as the rest of the program reads them: decimal whatever the locale
// (CLI11's own conversion would take "010" as octal).
CLI::Validator wholeNumber(long long low, long long high) {
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            const auto n = num::parseInteger(text);
            if (n && *n >= low && *n <= high)
                return {};
            const std::string range =
                low == 1 && high == INT_MAX
                    ? "a positive whole number"
                    : "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
            return "\"" + text + "\" is not " + range;
        },
        "");
}

template <class Target>
CLI::Option* addNumber(CLI::App* command, const std::string& name, Target& target, long long low,
                       long long high, const std::string& help) {
    return command
        ->add_option_function<std::string>(
            name,
            [&target](const std::string& text) {
                target = static_cast<int>(*num::parseInteger(text));
            },
            help)
        ->check(wholeNumber(low, high))
        ->type_name("N");
}

CLI::Validator oneOf(std::vector<std::string> choices) {
    return CLI::Validator(
        [choices](std::string& text) -> std::string {
            std::string list;
            for (const std::string& choice : choices) {
                if (choice == text)
                    return {};
                list += (list.empty() ? "" : ", ") + choice;
            }
            return "\"" + text + "\" is not one of " + list;
        },
        "");
}

// A device path is left to the link (a missing device is a link failure); an
// address that is not well formed is a usage error.
CLI::Validator portAddress() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (isWellFormedPortAddress(text))
                return {};
            return "\"" + text +
                   "\" is not a network port address: use tcp://HOST:PORT or rfc2217://HOST:PORT";
        },
        "");
}

const char* const kCategories =
    "CATEGORY: methods, std-methods, user-methods, reports, sequences, tray-reports";

std::vector<std::string> categoryWords() {
    std::vector<std::string> words;
    for (const auto& [word, type] : fileCategories())
        words.push_back(word);
    return words;
}

const char* const kJsonHelp = "JSON Lines on stdout (fields in the README); messages on stderr";

void addIdentify(CLI::App& app, const LinkOptions& link, Chosen& chosen) {
    auto json = std::make_shared<bool>(false);
    CLI::App* c = app.add_subcommand(
        "identify", "connect and print the titrator's model and firmware:\n"
                    "model=QX502 typeCode=2 titType=1 modelCode=QX502C series=QX50x firmware=3.00");
    c->add_flag("--json", *json, kJsonHelp);
    onChosen(c, chosen,
             [&link, json](auto& out, auto& err) { return cmdIdentify(link, *json, out, err); });
}

void addPorts(CLI::App& app, Chosen& chosen) {
    auto o = std::make_shared<PortsOptions>();
    CLI::App* c = app.add_subcommand(
        "ports", "list every port: each number COM1..COM16 with its device or address and\n"
                 "whether it can be opened now, then the USB adapters no number names yet\n"
                 "(the number the settings dialog offers each under). --port does not apply");
    c->add_flag("--json", o->json, "JSON Lines for scripts");
    onChosen(c, chosen, [o](auto& out, auto& err) { return cmdPorts(*o, out, err); });
}

// Which models each family of verify covers, from the model table.
std::string familyHelp() {
    std::string text = "the model family:";
    for (int family = 0; family <= 3; ++family) {
        text += family == 0 ? "\n" : ",\n";
        text += std::to_string(family);
        for (const ModelInfo& model : allModels())
            if (model.titType == family)
                text += " " + std::string(model.idText);
    }
    return text;
}

void addSumvalCommands(CLI::App& app, Chosen& chosen) {
    auto verify = std::make_shared<VerifyOptions>();
    CLI::App* c = app.add_subcommand(
        "verify",
        "check a method file for model family N (0..3); prints the code and\n"
        "its meaning (0 valid, 3 bad name, 4 checksum, 5 type not allowed for the family)");
    c->add_option("FILE", verify->file, "the method file")->required()->type_name("");
    addNumber(c, "--family", verify->family, INT32_MIN, INT32_MAX, familyHelp())->required();
    onChosen(c, chosen, [verify](auto& out, auto& err) { return cmdVerify(*verify, out, err); });

    auto file = std::make_shared<std::string>();
    c = app.add_subcommand("checksum", "print the file's CRC register as 0x%08X");
    c->add_option("FILE", *file, "the file")->required()->type_name("");
    onChosen(c, chosen, [file](auto& out, auto& err) { return cmdChecksum(*file, out, err); });

    auto name = std::make_shared<std::string>();
    c = app.add_subcommand("upgrade-name",
                           "print the remainder text an upgrade file name must carry after NAME6");
    c->add_option("NAME6", *name, "the first six characters of the name")
        ->required()
        ->type_name("");
    onChosen(c, chosen, [name](auto& out, auto& err) { return cmdUpgradeName(*name, out, err); });
}

// render's and print's shared FILE and options; `outOption` names where the result goes.
void addDocumentOptions(CLI::App* c, RenderOptions& o, const std::string& outOption,
                        const std::string& outHelp) {
    c->add_option("FILE", o.file, "a method, sequence or report file")->required()->type_name("");
    addNumber(c, "--type", o.type, 0, 12,
              "the file type: 1-3 methods, 4-6 reports,\n"
              "10 sequences, 11-12 tray reports, 0 other\n"
              "(default: from its name; a .MTD other than\n"
              "SEQ*.MTD is a method)")
        ->check(oneOf({"0", "1", "2", "3", "4", "5", "6", "7", "8", "10", "11", "12"}));
    addNumber(c, "--kind", o.kind, 0, 3,
              "the titrator kind: 0 ordinary, 2 and 3 the\n"
              "Karl Fischer kinds (default: the kind a\n"
              "method file was written for)")
        ->check(oneOf({"0", "2", "3"}))
        ->type_name("K");
    c->add_option_function<std::string>(
         "--firmware",
         [&o](const std::string& text) {
             o.titrator.firmware = static_cast<float>(*num::parseDouble(text));
         },
         "the titrator's firmware (default 3.00)")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                const auto f = num::parseDouble(text);
                return f && *f >= 0 && *f <= 1000
                           ? ""
                           : "\"" + text + "\" is not a version number such as 3.00";
            },
            ""))
        ->type_name("F");
    c->add_option_function<std::string>(
         "--series",
         [&o](const std::string& text) {
             o.titrator.series = text == "QX53x" ? Series::QX53x : Series::QX50x;
         },
         "the titrator's series (default QX50x)")
        ->check(oneOf({"QX50x", "QX53x"}))
        ->type_name("QX50x|QX53x");
    addNumber(c, "--device-type", o.titrator.deviceType, -32768, 32767,
              "the titrator's device type (default 1)")
        ->type_name("T");
    c->add_option(outOption, o.outPath, outHelp);
}

void addRenderAndPrint(CLI::App& app, Chosen& chosen) {
    auto render = std::make_shared<RenderOptions>();
    CLI::App* c = app.add_subcommand(
        "render", "print a method, Karl Fischer method, sequence or report as the viewer\n"
                  "shows it (UTF-8)");
    addDocumentOptions(c, *render, "--out", "write the exact bytes (Windows-1252, CR LF)");
    c->get_option("--out")->type_name("PATH");
    onChosen(c, chosen, [render](auto& out, auto& err) { return cmdRender(*render, out, err); });

    auto print = std::make_shared<RenderOptions>();
    c = app.add_subcommand("print",
                           "lay a document out on pages as the Print command does and write a\n"
                           "PDF (default: FILE's name with .pdf, in the current folder), a\n"
                           "report's curve on a page after its text; prints \"OUT.pdf: N\n"
                           "pages\". Needs no display");
    addDocumentOptions(c, *print, "--pdf", "the PDF to write");
    c->get_option("--pdf")->type_name("OUT.pdf");
    onChosen(c, chosen, [print](auto& out, auto& err) { return cmdPrint(*print, out, err); });
}

CLI::Validator plotSize() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            int w = 0, h = 0;
            return parsePlotSize(text, w, h)
                       ? ""
                       : "\"" + text + "\" is not WIDTHxHEIGHT with 50 to 10000 pixels each";
        },
        "");
}

void addPlot(CLI::App& app, Chosen& chosen) {
    auto o = std::make_shared<PlotOptions>();
    CLI::App* c = app.add_subcommand(
        "plot", "draw reports' curves as the Curve view does, without a display, into\n"
                "a PNG or SVG file (several reports of one kind overlaid); prints\n"
                "\"FILE: N curves\". --json prints the parsed reports");
    c->add_option("REPORT", o->reports, "report files (.rpt)")->required()->type_name("");
    c->add_option("--out", o->out, "the picture to write")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                return isPlotPicture(text) ? "" : "\"" + text + "\" is not a .png or .svg file";
            },
            ""))
        ->type_name("FILE.png|FILE.svg");
    c->add_option("--x", o->x, "the x axis: a column's name or quantity (default: the kind's)")
        ->type_name("COLUMN");
    c->add_option("--y", o->y, "the y axis: a column's name or quantity (default: the kind's)")
        ->type_name("COLUMN");
    c->add_flag("--derivative", o->derivative, "dY/dX on a second axis");
    c->add_option_function<std::string>(
         "--size", [o](const std::string& text) { parsePlotSize(text, o->width, o->height); },
         "the picture in pixels (default 800x500)")
        ->check(plotSize())
        ->type_name("WxH");
    c->add_flag("--json", o->json,
                "print the parsed reports (columns with units, rows, end points) as JSON;\n"
                "several as an array");
    onChosen(
        c, chosen, [o](auto& out, auto& err) { return cmdPlot(*o, out, err); },
        [o] {
            if (o->out.empty() && !o->json)
                throw CLI::ValidationError("--out", "FILE.png or FILE.svg is needed (or --json)");
        });
}

void addUpgrade(CLI::App& app, const LinkOptions& link, Chosen& chosen) {
    auto file = std::make_shared<std::string>();
    CLI::App* c = app.add_subcommand(
        "upgrade", "send a firmware upgrade file (.upg) to the titrator and print its\n"
                   "verdict (\"ok\" when it accepts the file); progress on stderr");
    c->add_option("FILE", *file, "the upgrade file")->required()->type_name("");
    onChosen(c, chosen,
             [&link, file](auto& out, auto& err) { return cmdUpgrade(link, *file, out, err); });
}

void addConfig(CLI::App& app, Chosen& chosen) {
    auto o = std::make_shared<ConfigOptions>();
    CLI::App* config = app.add_subcommand("config", "read and write config.ini");
    config->require_subcommand(1);
    const auto run = [o](auto& out, auto& err) { return cmdConfig(*o, out, err); };

    CLI::App* c = config->add_subcommand("path", "print where config.ini is");
    onChosen(c, chosen, run, [o] { o->action = ConfigOptions::Action::Path; });
    c = config->add_subcommand("get", "SECTION KEY: print a configuration value");
    c->add_option("SECTION", o->section, "the section")->required()->type_name("");
    c->add_option("KEY", o->key, "the key")->required()->type_name("");
    onChosen(c, chosen, run, [o] { o->action = ConfigOptions::Action::Get; });
    c = config->add_subcommand("set", "SECTION KEY VALUE: store a value");
    c->add_option("SECTION", o->section, "the section")->required()->type_name("");
    c->add_option("KEY", o->key, "the key")->required()->type_name("");
    c->add_option("VALUE", o->value, "the value")->required()->type_name("");
    onChosen(c, chosen, run, [o] { o->action = ConfigOptions::Action::Set; });
}

void addAudit(CLI::App& app, Chosen& chosen) {
    auto o = std::make_shared<AuditOptions>();
    CLI::App* audit = app.add_subcommand("audit", "check or show the audit log");
    audit->require_subcommand(1);
    const auto run = [o](auto& out, auto& err) { return cmdAudit(*o, out, err); };

    CLI::App* c = audit->add_subcommand(
        "verify", "[FILE]: check the audit log's chain (default: the data folder's);\n"
                  "prints the event count, or the first broken line and exits 1");
    c->add_option("FILE", o->log, "the audit log")->type_name("");
    onChosen(c, chosen, run, [o] { o->action = AuditOptions::Action::Verify; });
    c = audit->add_subcommand("show", "[FILE]: print the events, one a line, or the log's own "
                                      "JSON lines (default: the data folder's log)");
    c->add_option("FILE", o->log, "the audit log")->type_name("");
    c->add_option("--since", o->since, "from DATE on: YYYY-MM-DD[THH:MM[:SS]], UTC without a zone")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                return auditTimeOf(text).empty() ? "\"" + text + "\" is not a date" : "";
            },
            ""))
        ->type_name("DATE");
    c->add_option("--file", o->file, "events of this file name on either side, in any case")
        ->type_name("NAME");
    c->add_flag("--json", o->json, "JSON Lines for scripts");
    onChosen(c, chosen, run, [o] { o->action = AuditOptions::Action::Show; });
}

void addExport(CLI::App& app, const LinkOptions& link, Chosen& chosen) {
    auto o = std::make_shared<ExportCommandOptions>();
    CLI::App* c = app.add_subcommand(
        "export", "convert reports into CSV files as the Export command does, with\n"
                  "summary_yyyyMMddhhmmss.csv when there are several; prints each file\n"
                  "written. The separators and the order default to config.ini");
    c->add_option("REPORT", o->reports, "PC reports (.rpt), or titrator names")
        ->required()
        ->type_name("");
    CLI::Option* to =
        c->add_option("--to", o->to, "the folder (default: the first report's)")->type_name("DIR");
    addNumber(c, "--csv-sep", o->csvSep, 0, 1, "the list separator (default: csvSep)")
        ->type_name("0|1");
    addNumber(c, "--dec-sep", o->decSep, 0, 1, "the decimal separator (default: decSep)")
        ->type_name("0|1");
    addNumber(c, "--order", o->order, 0, 2, "the summary's order (default: orderBy)")
        ->type_name("0|1|2");
    c->add_option("--summary-name", o->summaryName, "the summary's file name")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                return !text.empty() && text.find('/') == std::string::npos
                           ? ""
                           : "\"" + text + "\" is not a file name";
            },
            ""))
        ->type_name("NAME");
    c->add_flag_function(
        "--no-replace", [o](std::int64_t) { o->replace = false; }, "keep existing CSV files");
    c->add_option_function<std::string>(
         "--from-titrator",
         [o](const std::string& category) {
             o->titratorType = category == "reports" ? ftype::kReports : ftype::kTrayReports;
         },
         "reports fetched from the titrator")
        ->check(oneOf({"reports", "tray-reports"}))
        ->type_name("reports|tray-reports")
        ->needs(to);
    c->add_flag("--json", o->json, kJsonHelp);
    onChosen(c, chosen, [o, &link](auto& out, auto& err) { return cmdExport(*o, link, out, err); });
}

void addFileCommands(CLI::App& app, const LinkOptions& link, Chosen& chosen) {
    for (const char* name : {"list", "get", "put", "delete"}) {
        auto o = std::make_shared<FileCommandOptions>();
        o->command = name;
        const std::string command = name;
        CLI::App* c = app.add_subcommand(
            command, command == "list"  ? "list the titrator's files (inside one tray set)"
                     : command == "get" ? "copy (move) titrator files, with companions, to DIR"
                     : command == "put" ? "copy (move) PC files of one folder to the titrator"
                                        : "delete titrator files");
        c->add_option_function<std::string>(
             "CATEGORY", [o](const std::string& word) { o->fileType = fileCategories().at(word); },
             "the kind of file (below)")
            ->required()
            ->check(oneOf(categoryWords()))
            ->type_name("");
        c->footer(kCategories);
        if (command != "list")
            c->add_option(command == "put" ? "FILE" : "NAME", o->names,
                          command == "put" ? "the PC files" : "the titrator's file names")
                ->required()
                ->type_name("");
        if (command == "list")
            c->add_option("--tray", o->tray, "a tray set's reports (tray-reports)")
                ->check(CLI::Validator(
                    [](std::string& text) -> std::string {
                        return text.size() == devfiles::kTraySetNameLength &&
                                       filenames::isSafeName(text)
                                   ? ""
                                   : "takes a tray set name such as TRAY0001";
                    },
                    ""))
                ->type_name("NAME");
        if (command == "get")
            c->add_option("--to", o->to, "the folder to copy into (default: here)")
                ->type_name("DIR");
        if (command == "get" || command == "put")
            c->add_flag("--move", o->move, "delete the source files once copied");
        if (command == "get" || command == "put")
            c->add_option("--replace", o->replace,
                          "replace existing files (default: ask on a terminal, else none)")
                ->check(oneOf({"ask", "all", "none"}))
                ->type_name("ask|all|none");
        if (command == "delete")
            c->add_flag("--yes", o->yes, "delete without asking");
        c->add_flag("--json", o->json, kJsonHelp);
        onChosen(
            c, chosen, [o, &link](auto& out, auto& err) { return cmdFiles(*o, link, out, err); },
            [o] {
                if (!o->tray.empty() && o->fileType != ftype::kTrayReports)
                    throw CLI::ValidationError("--tray", "lists a set of tray-reports only");
            });
    }
}

void addSync(CLI::App& app, const LinkOptions& link, Chosen& chosen) {
    auto o = std::make_shared<SyncOptions>();
    CLI::App* c = app.add_subcommand(
        "sync", "collect the titrator's reports into DIR, each once: the state file\n"
                "veltran-sync.json there remembers what was taken (README: \"Collect\n"
                "reports automatically\")");
    c->add_option("--to", o->to, "the folder (made when missing)")->required()->type_name("DIR");
    c->add_flag("--tray", o->tray, "tray report sets too");
    c->add_flag("--export-csv", o->exportCsv,
                "each new report's CSV beside it (config.ini's export settings)");
    c->add_flag("--move", o->move,
                "delete each report from the titrator once its fetch is verified");
    addNumber(c, "--every", o->every, 1, INT_MAX, "keep going: a pass every SECONDS")
        ->type_name("SECONDS");
    c->add_flag("--json", o->json, "the events as JSON Lines on stdout; lines on stderr too");
    onChosen(c, chosen, [o, &link](auto& out, auto& err) { return cmdSync(*o, link, out, err); });
}

// The whole usage with each command's block indented under "Commands:", so that
// help2man makes a section of them, one item per command.
class UsageFormatter : public CLI::Formatter {
public:
    std::string make_expanded(const CLI::App* command) const override {
        const std::string block = CLI::Formatter::make_expanded(command);
        std::string indented;
        std::size_t start = 0;
        for (std::size_t end; (end = block.find('\n', start)) != std::string::npos; start = end + 1)
            indented += "  " + block.substr(start, end + 1 - start);
        return indented;
    }
};

const char* const kExitCodes =
    "Exit codes:\n"
    "  0    success (every file went)\n"
    "  1    check failed (verify), value not stored or key not there (config), a file\n"
    "       refused, skipped or failed, a report not exported (export), or a report not\n"
    "       read or drawn with the others (plot)\n"
    "  2    usage or setup error (also a file checksum cannot read, a config value\n"
    "       the key does not take, put tray-reports)\n"
    "  3    no link, or the link was lost (also a titrator gone silent)\n"
    "  4    titrator not identified, or its firmware is outside [Versions]\n"
    "  130  stopped by Ctrl-C (143: by SIGTERM)";

void defineCommands(CLI::App& app, LinkOptions& link, Chosen& chosen) {
    app.set_help_flag("-h,--help", "print this help and exit");
    app.set_version_flag("--version", "veltran-cli " + appVersionText(),
                         "print the program's name and version and exit");
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.require_subcommand(1);
    app.group("Commands"); // the heading the commands inherit
    auto formatter = std::make_shared<UsageFormatter>();
    formatter->label("SUBCOMMAND", "COMMAND");
    formatter->label("SUBCOMMANDS", "COMMANDS");
    formatter->label("Positionals", "Arguments");
    formatter->column_width(34);
    app.formatter(formatter);

    // Checked as they come, so a fault is told with the program's usage, not the command's.
    app.add_option("--port", link.device, "the device or tcp://, rfc2217:// address to use instead")
        ->check(portAddress())
        ->type_name("DEV")
        ->trigger_on_parse();
    addNumber(&app, "--com", link.com, 1, INT_MAX, "the port number to use (default: COM)")
        ->trigger_on_parse();
    addNumber(&app, "--speed", link.speed, 1, INT_MAX, "the baud rate (default: Speed)")
        ->type_name("B")
        ->trigger_on_parse();

    addIdentify(app, link, chosen);
    addPorts(app, chosen);
    addFileCommands(app, link, chosen);
    addExport(app, link, chosen);
    addSync(app, link, chosen);
    addRenderAndPrint(app, chosen);
    addPlot(app, chosen);
    addUpgrade(app, link, chosen);
    addSumvalCommands(app, chosen);
    addConfig(app, chosen);
    addAudit(app, chosen);

    CLI::App* help = app.add_subcommand("help", "")->group("");
    onChosen(help, chosen, [&app](auto& out, auto&) {
        out << app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::All);
        return cliexit::kOk;
    });
    // Set last: a command would take the footer of the program as its own.
    app.footer(std::string(kCategories) + "\n\n" + kExitCodes);
}

// The usage of the command given (of the whole program when none was).
std::string usage(const CLI::App& app) {
    return app.help("", CLI::AppFormatMode::All);
}

// One line that names what is wrong, in the tool's own words where CLI11's are vague.
std::string problem(const CLI::ParseError& e, const CLI::App& app) {
    const std::string what = e.what();
    const std::vector<std::string> extras = app.remaining(true);
    const CLI::App* given = &app;
    while (!given->get_subcommands().empty())
        given = given->get_subcommands().front();
    const bool noCommand = given->get_require_subcommand_min() > 0; // a command word was due
    if (dynamic_cast<const CLI::ExtrasError*>(&e) || (noCommand && !extras.empty())) {
        for (const std::string& word : extras) {
            if (word.size() > 1 && word[0] == '-')
                return "unknown option " + word;
        }
        if (!extras.empty())
            return (noCommand ? "unknown command \"" : "unexpected argument \"") + extras.front() +
                   "\"";
    }
    if (what == "A subcommand is required")
        return "COMMAND is required";
    // "--pdf: 1 required OUT.pdf missing"
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) && what.ends_with(" missing"))
        return what.substr(0, what.find(':')) + " needs a value";
    return what;
}

} // namespace

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app("veltran-cli: the titrator companion for scripts and lab automation",
                 "veltran-cli");
    LinkOptions link;
    Chosen chosen;
    defineCommands(app, link, chosen);
    if (argc < 2) {
        err << usage(app);
        return cliexit::kUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return cliexit::kOk;
    } catch (const CLI::Success&) { // --help
        out << usage(app);
        return cliexit::kOk;
    } catch (const CLI::ParseError& e) {
        err << problem(e, app) << "\n" << usage(app);
        return cliexit::kUsage;
    }
    const auto qt = cliApplication(argc, argv, chosen.name);
    return chosen.run(out, err);
}
