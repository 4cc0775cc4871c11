#include "cli/RenderCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/Encoding.h"
#include "core/FileTypes.h"
#include "core/RegularFile.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "documents/RenderDocument.h"

#include <QString>
#include <filesystem>
#include <ostream>

int documentType(const RenderOptions& o, const std::string& text) {
    if (o.type)
        return *o.type;
    const std::string name = text::upper(std::filesystem::path(o.file).filename().string());
    if (!name.ends_with(".MTD"))
        return selectedFileType(name);
    return name.starts_with("SEQ") ? ftype::kSequences : methodFileType(text);
}

int documentKind(const RenderOptions& o, int type, const std::string& text) {
    if (o.kind)
        return *o.kind;
    return ftype::isMethod(type) ? methodFileKind(text) : kKindOrdinary;
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

int cmdRender(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    std::string fileText;
    if (!loadCliDocument(o, fileText, err))
        return cliexit::kUsage;
    const int type = documentType(o, fileText);
    const std::string text =
        renderDocument(fileText, type, documentKind(o, type, fileText), o.titrator);
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
