#include "sim/Options.h"

#include "core/Version.h"
#include "sim/Upgrade.h"

#include <charconv>
#include <functional>
#include <map>

namespace sim {
namespace {

constexpr std::string_view kDefaultModel = "QX502";
constexpr std::string_view kDefaultFirmware = "3.00";
constexpr uint32_t kMaxBaud = 4'000'000;
constexpr uint32_t kMaxSlots = 9999; // slot numbers have four digits

// The QX502 generations go by the firmware; naming one picks a matching default.
struct Generation {
    std::string_view alias;
    std::string_view firmware;
    double low, high;
};
constexpr Generation kGenerations[] = {
    {"QX502B", "2.10", 2.0, 3.0},
    {"QX502C", "3.00", 3.0, 1e9},
};

std::optional<uint32_t> toNumber(const std::string& text, uint32_t low, uint32_t high) {
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

struct Parser {
    Options opts;
    std::string modelName{kDefaultModel};
    std::optional<std::string> firmware;
    std::optional<std::string> info;

    using Setter = std::function<std::string(const std::string&)>;

    Setter number(uint32_t& field, uint32_t low, uint32_t high = UINT32_MAX) {
        return [&field, low, high](const std::string& v) -> std::string {
            const auto n = toNumber(v, low, high);
            if (!n)
                return "expects a number from " + std::to_string(low);
            field = *n;
            return {};
        };
    }
    static Setter text(std::string& field) {
        return [&field](const std::string& v) {
            field = v;
            return std::string();
        };
    }

    // "N" for every kind, or "KIND=N" for one; may be given again.
    Setter slots() {
        return [this](const std::string& v) -> std::string {
            const std::size_t eq = v.find('=');
            const auto kind = eq == v.npos ? std::nullopt : slotKindNamed(v.substr(0, eq));
            if (eq != v.npos && !kind)
                return "expects N or KIND=N, KIND one of std, user, reports, sequences, trays";
            const auto n = toNumber(v.substr(eq == v.npos ? 0 : eq + 1), 0, kMaxSlots);
            if (!n)
                return "expects a number from 0 to " + std::to_string(kMaxSlots);
            for (std::size_t i = 0; i < kSlotKinds; ++i) {
                if (!kind || *kind == static_cast<SlotKind>(i))
                    opts.slots.set(static_cast<SlotKind>(i), *n);
            }
            return {};
        };
    }

    std::map<std::string, Setter, std::less<>> valued() {
        FaultPlan& f = opts.faults;
        return {
            {"--model", text(modelName)},
            {"--firmware",
             [this](const std::string& v) {
                 firmware = v;
                 return std::string();
             }},
            {"--root", text(opts.root)},
            {"--baud", number(opts.baud, 1, kMaxBaud)},
            {"--log", text(opts.logPath)},
            {"--link", text(opts.linkPath)},
            {"--slots", slots()},
            {"--info",
             [this](const std::string& v) {
                 info = v;
                 return std::string();
             }},
            {"--verdict", text(opts.verdict)},
            {"--drop-ack", number(f.dropAck, 1)},
            {"--corrupt-frame", number(f.corruptFrame, 1)},
            {"--drop-echo", number(f.dropEcho, 1)},
            {"--garble-echo", number(f.garbleEcho, 1)},
            {"--stall", number(f.stallMs, 0)},
            {"--stall-at", number(f.stallAt, 1)},
            {"--deaf-after", number(f.deafAfter, 1)},
            {"--hangup-after", number(f.hangupAfter, 1)},
            {"--ignore",
             [&f](const std::string& v) {
                 f.ignored.push_back(v);
                 return v.empty() ? std::string("needs a command text") : std::string();
             }},
        };
    }

    std::string resolveModel() {
        std::string_view base = modelName;
        std::string_view defaultFirmware = kDefaultFirmware;
        const Generation* generation = nullptr;
        for (const Generation& g : kGenerations) {
            if (g.alias == modelName) {
                generation = &g;
                base = "QX502";
                defaultFirmware = g.firmware;
            }
        }
        opts.model = findModel(base);
        if (!opts.model)
            return "unknown model " + modelName + " (QX501..QX504, QX531..QX534)";
        opts.firmware = parseFirmware(firmware.value_or(std::string(defaultFirmware)));
        opts.info = info.value_or(Upgrade::defaultInfo(*opts.model, opts.firmware));
        const auto& number = opts.firmware.number;
        if (generation && !(number && *number >= generation->low && *number < generation->high))
            return modelName + " does not match firmware " + opts.firmware.text;
        return {};
    }

    std::string parse(const std::vector<std::string>& args) {
        auto options = valued();
        for (std::size_t i = 0; i < args.size(); ++i) {
            std::string name = args[i], value;
            const std::size_t eq = name.find('=');
            const bool inlineValue = name.starts_with("--") && eq != name.npos;
            if (inlineValue) {
                value = name.substr(eq + 1);
                name.resize(eq);
            }
            if (name == "--help" || name == "-h") {
                opts.help = true;
                continue;
            }
            if (name == "--version") {
                opts.version = true;
                continue;
            }
            if (name == "--persist") {
                opts.persist = true;
                continue;
            }
            const auto setter = options.find(name);
            if (setter == options.end())
                return "unknown option " + name;
            if (!inlineValue && i + 1 >= args.size())
                return name + " needs a value";
            if (std::string error = setter->second(inlineValue ? value : args[++i]); !error.empty())
                return name + " " + error;
        }
        return resolveModel();
    }
};

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    Parser parser;
    parser.opts.verdict = Upgrade::kAccepted;
    std::string error = parser.parse(args);
    if (!error.empty())
        return {std::nullopt, error};
    return {parser.opts, {}};
}

std::string versionLine() {
    return "veltran-sim " + appVersionText() + "\n";
}

std::string usageText() {
    return R"(Usage: veltran-sim [options]
A simulated bench titrator on a pseudo-terminal. Prints "PTY <slave path>" as
the first line of standard output, then serves until stopped (SIGTERM, SIGINT)
or until a peer that opened the line closes it again.

  --model NAME        QX501..QX504, QX531..QX534 (default QX502); QX502B and
                      QX502C are QX502 with firmware 2.10 and 3.00 by default
  --firmware TEXT     firmware version (default 3.00); a non-numeric text gives
                      a non-numeric "ver 0" answer
  --root DIR          the titrator's file system (default: a temporary folder,
                      removed at exit); it and the model's folders are created
  --baud N            pace the output at N baud, 10 bits a byte (default: unpaced)
  --log FILE          write each command received to FILE (replaced), one a line
  --link PATH         also make PATH a symbolic link to the pty (removed at exit)
  --persist           after a peer closes the line, wait for the next one
  --slots N           file slots of every kind (default 100); KIND=N sets one
                      kind: std, user, reports, sequences, trays (may repeat).
                      "getFreeFiles" answers what is left; a "put" of a new
                      file of a full kind is refused
  --info TEXT         the "info" answer (default "QX502 I502v3.00 S/N 0412"
                      for the model and firmware: the model number between
                      the first "I" and the next "v")
  --verdict TEXT      the "upgcheck" answer when the upgrade file received has
                      the checksum announced by "upgcs" (default "ok"); any
                      other file gets "checksum error" or "no upgrade file"
  -h, --help          this text
  --version           print the program's name and version

Faults (N counts from 1 over the whole run; each fires once):
  --drop-ack N        ignore the Nth command, as if its line were lost: no ACK
  --corrupt-frame N   send the Nth frame once with a wrong checksum; the resend
                      is correct
  --drop-echo N       do not echo the Nth good frame received
  --garble-echo N     echo the Nth good frame received with a wrong header
  --stall MS          sleep MS milliseconds before answering a command ...
  --stall-at N        ... the Nth one (default 1)
  --deaf-after N      after N commands read and ignore everything (a lost link)
  --hangup-after N    after N commands close the line and exit (unplugged)
  --ignore TEXT       never answer a command that starts with TEXT ("ver 0"),
                      every time (may repeat)

A command is a line with a good checksum; a line with a bad checksum, an
unknown command and a refused one (missing file, unsafe path, no free slot,
malformed argument) get no ACK. Frames count once however often they are
resent.

Exit status:
  0  stopped by a signal, or the peer closed the line (or hung up as asked)
  1  the pseudo-terminal, the link, the log or the root could not be made
  2  a wrong option
)";
}

} // namespace sim
