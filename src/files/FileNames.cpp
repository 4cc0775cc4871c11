#include "files/FileNames.h"

#include "core/Text.h"

#include <algorithm>

namespace filenames {
namespace {
const char* const kCompanionExtensions[] = {"rpt", "log", "bmp"};
} // namespace

bool isSafeName(const std::string& name) {
    if (name.empty() || text::containsControl(name))
        return false;
    return name.find_first_of("\\/:") == std::string::npos && name.find("..") == std::string::npos;
}

std::string baseOf(const std::string& name, const std::string& ext) {
    const std::size_t at = text::lower(name).find(text::lower(ext));
    return at == std::string::npos ? std::string() : name.substr(0, at + 1);
}

bool isCompanion(const std::string& base, const std::string& fileName) {
    if (base.empty() || fileName.size() <= base.size() ||
        !sameName(fileName.substr(0, base.size()), base))
        return false;
    const std::string ext = fileName.substr(base.size());
    return std::any_of(std::begin(kCompanionExtensions), std::end(kCompanionExtensions),
                       [&](const char* e) { return sameName(ext, e); });
}

bool sameName(const std::string& a, const std::string& b) {
    return text::upper(a) == text::upper(b);
}

std::string firstToken(const std::string& line) {
    const std::string trimmed = text::trim(line);
    return trimmed.substr(0, trimmed.find(' '));
}

bool isOnList(const std::vector<std::string>& lines, const std::string& name) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return sameName(firstToken(l), name); });
}

} // namespace filenames
