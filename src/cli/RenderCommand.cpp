#include "cli/RenderCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/Encoding.h"
#include "core/FileTypes.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "documents/RenderDocument.h"

#include <QString>
#include <filesystem>
#include <optional>
#include <ostream>

namespace {

constexpr const char* kRenderUsage =
    "usage: veltran-cli render FILE [--type N] [--kind K] [--firmware F] "
    "[--series QX50x|QX53x] [--device-type T] [--out PATH]";

std::optional<int> wholeNumber(const std::string& text) {
    const auto v = num::parseInteger(text);
    if (!v || *v < -32768 || *v > 32767)
        return std::nullopt;
    return static_cast<int>(*v);
}

} // namespace

std::string parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o,
                               const std::string& outOption) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() < 2 || a.rfind("--", 0) != 0) {
            if (!o.file.empty())
                return "only one FILE may be given";
            o.file = a;
            continue;
        }
        if (i + 1 == args.size())
            return a + " needs a value";
        const std::string& v = args[++i];
        if (a == outOption) {
            o.outPath = v;
        } else if (a == "--series") {
            if (v != "QX50x" && v != "QX53x")
                return "--series must be QX50x or QX53x, not '" + v + "'";
            o.titrator.series = v == "QX53x" ? Series::QX53x : Series::QX50x;
        } else if (a == "--firmware") {
            const auto f = num::parseDouble(v);
            if (!f || *f < 0 || *f > 1000)
                return "--firmware must be a version number such as 3.00, not '" + v + "'";
            o.titrator.firmware = static_cast<float>(*f);
        } else if (a == "--type" || a == "--kind" || a == "--device-type") {
            const auto n = wholeNumber(v);
            if (!n)
                return a + " must be a whole number, not '" + v + "'";
            if (a == "--type")
                o.type = *n;
            else if (a == "--kind")
                o.kind = *n;
            else
                o.titrator.deviceType = *n;
        } else {
            return "unknown option " + a;
        }
    }
    return o.file.empty() ? "no FILE given" : "";
}

int documentType(const RenderOptions& o) {
    return o.type.value_or(selectedFileType(std::filesystem::path(o.file).filename().string()));
}

bool loadCliDocument(const RenderOptions& o, std::string& text, std::ostream& err) {
    std::string bytes;
    std::string error;
    if (!readRegularFile(o.file, kMaxDocumentBytes, bytes, error)) {
        err << o.file << ": " << error << '\n';
        return false;
    }
    CliHost host(err);
    AppPaths paths;
    Settings settings;
    if (!loadCliSettings(paths, settings, host, err))
        return false;
    text = textFromFileLines(bytes);
    return true;
}

namespace {

std::string forTerminal(const std::string& bytes) {
    std::string utf8 = toQt(bytes).toUtf8().toStdString();
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r') {
            out += '\n';
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
        } else {
            out += utf8[i];
        }
    }
    return out;
}

} // namespace

int cmdRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    RenderOptions o;
    if (const std::string problem = parseRenderOptions(args, o, "--out"); !problem.empty()) {
        err << problem << '\n' << kRenderUsage << '\n';
        return cliexit::kUsage;
    }
    std::string fileText;
    if (!loadCliDocument(o, fileText, err))
        return cliexit::kUsage;
    const std::string text = renderDocument(fileText, documentType(o), o.kind, o.titrator);
    if (o.outPath.empty()) {
        out << forTerminal(text);
        return cliexit::kOk;
    }
    std::string error;
    if (!writeFileAtomically(o.outPath, text, &error)) {
        err << o.outPath << ": " << error << '\n';
        return cliexit::kUsage;
    }
    return cliexit::kOk;
}
