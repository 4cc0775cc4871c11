#pragma once
// A strict RFC 4180 reader for checking exported files: records end in CR LF,
// a quoted field may hold the separator, line breaks and doubled quotes, and a
// quote anywhere else is an error.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using CsvRecord = std::vector<std::string>;

// The records of the text, or nothing when it is not well-formed CSV (`error` says where).
inline std::optional<std::vector<CsvRecord>> readCsv(std::string_view text, char separator,
                                                     std::string* error = nullptr) {
    std::vector<CsvRecord> records;
    CsvRecord record;
    std::string field;
    std::size_t i = 0;
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + " at byte " + std::to_string(i);
        return std::nullopt;
    };
    while (i < text.size()) {
        if (text[i] == '"' && field.empty()) { // a quoted field
            for (++i;; ++i) {
                if (i >= text.size())
                    return fail("unterminated quoted field");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
            if (i < text.size() && text[i] != separator && text[i] != '\r')
                return fail("text after a closing quote");
            continue;
        }
        const char c = text[i];
        if (c == separator) {
            record.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n')
                return fail("CR without LF");
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            i += 2;
        } else if (c == '\n') {
            return fail("LF without CR");
        } else if (c == '"') {
            return fail("quote inside an unquoted field");
        } else {
            field += c;
            ++i;
        }
    }
    if (!field.empty() || !record.empty())
        return fail("last record without CR LF");
    return records;
}
