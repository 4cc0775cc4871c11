#include "documents/CsvCell.h"

namespace csv {

void appendCell(std::string& out, std::string_view text, std::string_view quote,
                std::string_view separator) {
    const bool mustQuote = text.find_first_of("\"\r\n") != std::string_view::npos ||
                           (!separator.empty() && text.find(separator) != std::string_view::npos);
    if (!mustQuote) {
        out += quote;
        out += text;
        out += quote;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
        if (at > start)
            parts.push_back(line.substr(start, at - start));
    }
    return parts;
}

std::string joinWords(const std::vector<std::string_view>& parts, std::size_t from,
                      std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to && i < parts.size(); ++i) {
        if (i > from)
            out += ' ';
        out += parts[i];
    }
    return out;
}

std::string withDecimalSeparator(std::string_view value, std::string_view decimalSeparator) {
    std::string out(value);
    if (decimalSeparator == ",")
        if (const std::size_t dot = out.find('.'); dot != std::string::npos)
            out[dot] = ',';
    return out;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        out.push_back(text.substr(start));
    return out;
}

} // namespace csv
