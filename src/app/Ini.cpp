#include "app/Ini.h"

#include "app/AppPaths.h"
#include "app/Host.h"
#include "app/Language.h"
#include "app/Text.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace {

std::string readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

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

IniFile IniFile::load(const std::filesystem::path& file) {
    return parse(readWhole(file));
}

IniFile IniFile::parse(const std::string& content) {
    IniFile ini;
    std::string section;
    bool inSection = false;
    for (const std::string& line : splitLines(content)) {
        std::string name, key, value;
        if (sectionOf(line, name)) {
            section = name;
            inSection = true;
        } else if (inSection && keyOf(line, key, value)) {
            ini.entries_.push_back({section, key, cleanValue(value)});
        }
    }
    return ini;
}

std::string IniFile::value(const std::string& section, const std::string& key) const {
    const std::string s = text::upper(section), k = text::upper(key);
    for (const Entry& e : entries_)
        if (e.section == s && e.key == k)
            return e.value; // the first occurrence wins, as with the platform reader
    return {};
}

bool IniFile::hasSection(const std::string& section) const {
    const std::string s = text::upper(section);
    for (const Entry& e : entries_)
        if (e.section == s)
            return true;
    return false;
}

std::string getIniString(const std::filesystem::path& file, const std::string& section,
                         const std::string& key) {
    return IniFile::load(file).value(section, key);
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
    std::error_code ec;
    const bool existed = std::filesystem::exists(file, ec);
    std::string content;
    if (existed) {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            return false;
        std::ostringstream buf;
        buf << in.rdbuf();
        content = buf.str();
    }
    std::vector<std::string> lines = splitLines(content);
    placeValue(lines, section, key, value);
    const std::string eol = lineEndingOf(content);
    std::string out;
    for (const std::string& line : lines)
        out += line + eol;

    // Write beside the file and rename, so a failed write leaves the old file whole.
    std::filesystem::path tmp = file;
    tmp += ".tmp";
    {
        std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
        if (!o)
            return false;
        o << out;
        o.flush();
        if (!o) {
            o.close();
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::filesystem::rename(tmp, file, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

void setIniString(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value, Host& host) {
    if (appPaths().isReadOnly(file) || !writeIniString(file, section, key, value))
        host.message(formatMsg(langText(310), {}), formatMsg(langText(5), {}), Host::Icon::Warning);
}
