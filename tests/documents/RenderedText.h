#pragma once
// Builds renderer input and reads labelled values back from the rendered text.
#include <initializer_list>
#include <string>

// One CRLF-terminated line per entry, as the titrator writes its files.
inline std::string lines(std::initializer_list<std::string> entries) {
    std::string text;
    for (const std::string& e : entries)
        text += e + "\r\n";
    return text;
}

// The value of the first line with exactly this label, or "<none>".
inline std::string valueOf(const std::string& text, const std::string& label) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        line.erase(0, line.find_first_not_of(' '));
        if (line.rfind(label + ":", 0) == 0) {
            std::string v = line.substr(label.size() + 1);
            v.erase(0, v.find_first_not_of(' '));
            return v;
        }
        at = end + 2;
    }
    return "<none>";
}
