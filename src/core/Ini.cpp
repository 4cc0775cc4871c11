#include "core/Ini.h"

#include "core/AppPaths.h"
#include "core/AtomicFile.h"
#include "core/AuditLog.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/RegularFile.h"
#include "core/Text.h"

#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr int kTextBadValue = 1120;
constexpr int kTextBadName = 1121;
constexpr int kTextReadOnly = 1122;

// "[Name]" → "NAME"; false for any other line.
bool sectionOf(const std::string& line, std::string& name) {
    const std::string t = text::trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const std::size_t close = t.find(']');
    if (close == std::string::npos)
        return false;
    name = text::upper(text::trim(t.substr(1, close - 1)));
    return true;
}

// "key = value" → upper-cased key and raw value; false for comments and other lines.
bool keyOf(const std::string& line, std::string& key, std::string& value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = text::upper(text::trim(line.substr(0, eq)));
    if (key.empty() || key[0] == ';')
        return false;
    value = line.substr(eq + 1);
    return true;
}

std::string indexKey(const std::string& section, const std::string& key) {
    return section + '\n' + key;
}

std::string cleanValue(std::string value) {
    value = text::trim(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (value.size() > kIniValueLimit)
        value.resize(kIniValueLimit);
    const std::size_t nul = value.find('\0');
    if (nul != std::string::npos)
        value.resize(nul);
    return text::trimRight(value);
}

// An editor's UTF-8 signature would hide the first section.
std::string_view withoutBom(std::string_view content) {
    if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        content.remove_prefix(kUtf8Bom.size());
    return content;
}

} // namespace

IniFile IniFile::load(const std::filesystem::path& file, std::string* error) {
    std::string content, why;
    bool missing = false;
    if (!readRegularFile(file, kMaxIniBytes, content, why, &missing)) {
        if (error)
            *error = missing ? std::string() : why;
        return {};
    }
    if (error)
        error->clear();
    return parse(content);
}

IniFile IniFile::parse(const std::string& content) {
    IniFile ini;
    std::string section;
    bool inSection = false;
    for (const std::string& line : text::splitLines(std::string(withoutBom(content)))) {
        std::string name, key, value;
        if (sectionOf(line, name)) {
            section = name;
            // A repeated section is not read: the first one is the section.
            inSection = ini.sections_.insert(name).second;
        } else if (inSection && keyOf(line, key, value)) {
            // The first occurrence wins, as with the platform reader.
            ini.values_.emplace(indexKey(section, key), cleanValue(value));
        }
    }
    return ini;
}

std::string IniFile::value(const std::string& section, const std::string& key) const {
    const auto it =
        values_.find(indexKey(text::upper(text::trim(section)), text::upper(text::trim(key))));
    return it == values_.end() ? std::string() : it->second;
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    return values_.count(indexKey(text::upper(section), text::upper(key))) > 0;
}

bool IniFile::hasSection(const std::string& section) const {
    return sections_.count(text::upper(text::trim(section))) > 0;
}

namespace {

// What identifies one version of a file on disk: a rename gives a new inode,
// an edit a new time or size.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size,
            static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

struct CachedIni {
    FileStamp stamp;
    std::shared_ptr<const IniFile> ini;
    std::string error;
};

std::map<std::filesystem::path, CachedIni>& iniCache() {
    static std::map<std::filesystem::path, CachedIni> cache;
    return cache;
}

CachedIni& cachedEntry(const std::filesystem::path& file) {
    const FileStamp stamp = stampOf(file);
    auto [it, fresh] = iniCache().try_emplace(file);
    if (fresh || !(it->second.stamp == stamp)) {
        it->second.stamp = stamp;
        it->second.ini = std::make_shared<const IniFile>(IniFile::load(file, &it->second.error));
    }
    return it->second;
}

} // namespace

std::shared_ptr<const IniFile> cachedIniFile(const std::filesystem::path& file) {
    return cachedEntry(file).ini;
}

std::string iniReadError(const std::filesystem::path& file) {
    return cachedEntry(file).error;
}

std::string getIniString(const std::filesystem::path& file, const std::string& section,
                         const std::string& key) {
    return cachedIniFile(file)->value(section, key);
}

namespace {

std::string lineEndingOf(const std::string& content) {
    return content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
}

// Places "key=value" in the lines: replaces the key, or adds it at the end of its
// section, or adds the section at the end of the file.
void placeValue(std::vector<std::string>& lines, const std::string& section, const std::string& key,
                const std::string& value) {
    const std::string s = text::upper(section), k = text::upper(key);
    const std::string entry = key + "=" + value;
    bool inSection = false;
    std::size_t lastInSection = std::string::npos;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name, lineKey, lineValue;
        if (sectionOf(lines[i], name)) {
            if (inSection)
                break;
            inSection = name == s;
            if (inSection)
                lastInSection = i;
        } else if (inSection) {
            if (keyOf(lines[i], lineKey, lineValue) && lineKey == k) {
                lines[i] = entry;
                return;
            }
            if (!text::trim(lines[i]).empty())
                lastInSection = i;
        }
    }
    if (lastInSection != std::string::npos) {
        lines.insert(lines.begin() + static_cast<long>(lastInSection) + 1, entry);
        return;
    }
    if (!lines.empty() && !text::trim(lines.back()).empty())
        lines.push_back("");
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
}

// A name or value that ends its line, or a name that ends the key or the
// section, would write lines of its own: "" when there is none.
std::string refusal(const std::string& section, const std::string& key, const std::string& value) {
    constexpr std::string_view kLineBreaks("\r\n\0", 3);
    constexpr std::string_view kNameBreaks("=]\r\n\0", 5);
    int why = 0;
    if (section.find_first_of(kNameBreaks) != std::string::npos ||
        key.find_first_of(kNameBreaks) != std::string::npos)
        why = kTextBadName;
    else if (value.find_first_of(kLineBreaks) != std::string::npos)
        why = kTextBadValue;
    return why ? text::printable("[" + section + "] " + key) + ": " + langText(why) : "";
}

// The file a (chain of) symbolic link(s) names, so that a write replaces the
// file and keeps the link. A dangling link gives the file it would name.
std::filesystem::path followLinks(std::filesystem::path file) {
    constexpr int kMaxLinks = 40; // as the system's own limit
    for (int i = 0; i < kMaxLinks; ++i) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, ec)))
            break;
        const std::filesystem::path to = std::filesystem::read_symlink(file, ec);
        if (ec)
            break;
        file = to.is_absolute() ? to : file.parent_path() / to;
    }
    return file;
}

// A file without any write permission is read-only even for root, who could
// otherwise write it.
bool isReadOnlyFile(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return false; // missing: it will be created
    return (st.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0;
}

} // namespace

bool writeIniString(const std::filesystem::path& file, const std::string& section,
                    const std::string& key, const std::string& value, std::string* error) {
    const std::string s = text::trim(section), k = text::trim(key);
    std::string why = refusal(s, k, value);
    const std::filesystem::path target = followLinks(file);
    if (why.empty() && isReadOnlyFile(target))
        why = target.string() + ": " + langText(kTextReadOnly);
    std::string content;
    bool missing = false;
    if (why.empty() && !readRegularFile(target, kMaxIniBytes, content, why, &missing) && missing)
        why.clear();
    if (!why.empty()) {
        if (error)
            *error = why;
        return false; // never replace a file we could not read
    }
    const std::string_view body = withoutBom(content);
    const std::string bom = content.substr(0, content.size() - body.size());
    std::vector<std::string> lines = text::splitLines(std::string(body));
    placeValue(lines, s, k, value);
    const std::string eol = lineEndingOf(content);
    std::string out = bom;
    for (const std::string& line : lines)
        out += line + eol;

    iniCache().erase(file);
    return writeFileAtomically(target, out, error);
}

void setIniString(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value, Host& host) {
    const std::string before = getIniString(file, section, key);
    std::string error;
    const bool written =
        !appPaths().isReadOnly(file) && writeIniString(file, section, key, value, &error);
    if (before != value)
        recordAudit(configChangeEvent(section, key, before, value, written));
    if (!written)
        host.message(formatMsg(langText(310), {}) + (error.empty() ? "" : "\r\r" + error),
                     formatMsg(langText(5), {}), Host::Icon::Warning);
}
