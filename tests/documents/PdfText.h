#pragma once
// Reads a PDF back the way a person checks a printout: the text of each page
// (poppler's pdftotext) and the page count.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

inline std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buf{};
        std::size_t n = 0;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
            out.append(buf.data(), n);
        ::pclose(p);
    }
    return out;
}

// The page's text, laid out as printed; page 0 means every page.
inline std::string pdfText(const std::string& pdf, int page = 0, const char* mode = "-layout") {
    const std::string range =
        page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return commandOutput("pdftotext " + std::string(mode) + range + " '" + pdf + "' - 2>&1");
}

inline int pdfPageCount(const std::string& pdf) {
    const std::string info = commandOutput("pdfinfo '" + pdf + "' 2>/dev/null");
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

// A line with its runs of blanks made one and the ends trimmed, as text extraction
// may not keep the exact blanks of a fixed-pitch line.
inline std::string squeezed(const std::string& line) {
    std::string out;
    for (const char c : line) {
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

inline std::vector<std::string> textLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}
