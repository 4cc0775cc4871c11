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
#include <vector>

namespace {

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
    if (value.size() > kIniValueLimit)
        value.resize(kIniValueLimit);
    const std::size_t nul = value.find('\0');
    if (nul != std::string::npos)
        value.resize(nul);
    return text::trimRight(value);
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
    for (const std::string& line : text::splitLines(content)) {
        std::string name, key, value;
        if (sectionOf(line, name)) {
            section = name;
            inSection = true;
            ini.sections_.insert(name);
        } else if (inSection && keyOf(line, key, value)) {
            // The first occurrence wins, as with the platform reader.
            ini.values_.emplace(indexKey(section, key), cleanValue(value));
        }
    }
    return ini;
}

std::string IniFile::value(const std::string& section, const std::string& key) const {
    const auto it = values_.find(indexKey(text::upper(section), text::upper(key)));
    return it == values_.end() ? std::string() : it->second;
}

bool IniFile::hasSection(const std::string& section) const {
    return sections_.count(text::upper(section)) > 0;
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

} // namespace

bool writeIniString(const std::filesystem::path& file, const std::string& section,
                    const std::string& key, const std::string& value) {
    std::string content, error;
    bool missing = false;
    if (!readRegularFile(file, kMaxIniBytes, content, error, &missing) && !missing)
        return false; // never replace a file we could not read
    std::vector<std::string> lines = text::splitLines(content);
    placeValue(lines, section, key, value);
    const std::string eol = lineEndingOf(content);
    std::string out;
    for (const std::string& line : lines)
        out += line + eol;

    iniCache().erase(file);
    return writeFileAtomically(file, out);
}

void setIniString(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value, Host& host) {
    const std::string before = getIniString(file, section, key);
    const bool written = !appPaths().isReadOnly(file) && writeIniString(file, section, key, value);
    if (before != value)
        recordAudit(configChangeEvent(section, key, before, value, written));
    if (!written)
        host.message(formatMsg(langText(310), {}), formatMsg(langText(5), {}), Host::Icon::Warning);
}
