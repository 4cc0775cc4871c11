#include "documents/PcDocument.h"

#include "core/FileTypes.h"
#include "core/RegularFile.h"
#include "core/Text.h"
#include "documents/PrintLines.h"
#include "documents/RenderDocument.h"

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

bool viewAccepts(int fileType) {
    using namespace ftype;
    return fileType == kStandardMethods || fileType == kUserMethods || fileType == kReports ||
           fileType == kSequences;
}

namespace {

int refusalFor(int fileType, DocumentUse use) {
    switch (use) {
    case DocumentUse::View:
        return viewAccepts(fileType) ? 0 : kTextCannotOpen;
    case DocumentUse::Print:
        return printAccepts(fileType) ? 0 : kTextCannotPrint;
    case DocumentUse::Preview:
        break;
    }
    return previewAccepts(fileType) ? 0 : kTextCannotPreview;
}

} // namespace

std::string findCompanionPicture(const fs::path& folder, const std::string& fileName) {
    const std::size_t dot = fileName.find('.');
    if (dot == std::string::npos)
        return {};
    const std::string wanted = fileName.substr(0, dot + 1) + "bmp";
    std::error_code ec;
    if (fs::is_regular_file(folder / wanted, ec))
        return (folder / wanted).string();
    // Several spellings may sit side by side on Linux; the first by name is taken.
    std::string found;
    const std::string key = text::upper(wanted);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (text::upper(name) == key && it->is_regular_file(ec) && (found.empty() || name < found))
            found = name;
    }
    return found.empty() ? std::string() : (folder / found).string();
}

OpenedDocument openPcDocument(const fs::path& folder, const std::string& entry, DocumentUse use) {
    OpenedDocument doc;
    const std::string name = entry.substr(0, entry.find(' '));
    doc.name = name;
    doc.fileType = selectedFileType(name);
    doc.graphPath = findCompanionPicture(folder, name);
    if (const int refusal = refusalFor(doc.fileType, use)) {
        doc.refusal = refusal;
        return doc;
    }
    std::string bytes;
    bool missing = false;
    if (!readRegularFile(folder / name, kMaxDocumentBytes, bytes, doc.error, &missing)) {
        doc.errorNumber = missing ? ENOENT : EIO;
        return doc;
    }
    doc.text = textFromFileLines(bytes);
    return doc;
}
