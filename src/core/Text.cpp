#include "core/Text.h"

#include <cctype>

namespace text {

std::string trimRight(const std::string& s) {
    std::size_t end = s.size();
    while (end > 0 && (s[end - 1] == ' ' || s[end - 1] == '\t'))
        --end;
    return s.substr(0, end);
}

std::string trim(const std::string& s) {
    std::size_t start = 0;
    while (start < s.size() && (s[start] == ' ' || s[start] == '\t'))
        ++start;
    return trimRight(s.substr(start));
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool isNumeric(const std::string& s) {
    const std::string t = trim(s);
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    if (i == t.size())
        return false;
    for (; i < t.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(t[i])))
            return false;
    return true;
}

bool containsControl(const std::string& s) {
    for (unsigned char c : s)
        if (c < 32 || c == 127)
            return true;
    return false;
}

std::string printable(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return s;
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

} // namespace text

std::string formatMsg(const std::string& tmpl, const std::vector<std::string>& args) {
    std::string out = tmpl;
    for (const std::string& arg : args) {
        // Searched from the start each time, so an argument holding "%v" fills the next place.
        const std::size_t at = out.find("%v");
        if (at == std::string::npos)
            break;
        out.replace(at, 2, arg);
    }
    return replaceAll(out, "\\n", "\r");
}

std::string takeToken(std::string& source, const std::string& delimiter) {
    const std::size_t at = delimiter.empty() ? std::string::npos : source.find(delimiter);
    if (at == std::string::npos) {
        std::string all;
        all.swap(source);
        return all;
    }
    std::string token = source.substr(0, at);
    source.erase(0, at + delimiter.size());
    return token;
}

std::string replaceAll(std::string s, const std::string& find, const std::string& replacement) {
    if (find.empty())
        return s;
    std::size_t at = 0;
    while ((at = s.find(find, at)) != std::string::npos) {
        s.replace(at, find.size(), replacement);
        at += replacement.size();
    }
    return s;
}

double maxOf(double a, double b) {
    return b > a ? b : a;
}

std::string versionText(int major, int minor, int revision) {
    std::string v = std::to_string(major) + ".";
    if (minor < 10)
        v += "0";
    v += std::to_string(minor);
    if (revision != 9999)
        v += "RC-" + std::to_string(revision);
    return v;
}

std::string textFromFileLines(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            out.append(bytes, at, std::string::npos);
            out += "\r\n";
            break;
        }
        out.append(bytes, at, end - at);
        out += "\r\n";
        at = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
    }
    return out;
}
