#pragma once
// What the method, Karl Fischer and sequence renderers share: the "key value"
// line grammar, the conversion of a value to a field's type, and the line
// builders of the fixed-width text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Calls f(key, value) for each line of a CR LF text up to the first empty line.
// The key is the text before the first blank, the value the rest after it.
// f returns false to stop early.
template <class F> void forEachEntry(std::string_view text, F&& f) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        const std::string_view line =
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (line.empty())
            return;
        const std::size_t blank = line.find(' ');
        const std::string_view key = line.substr(0, blank);
        const std::string_view value =
            blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        if (!f(key, value) || end == std::string_view::npos)
            return;
        at = end + 2;
    }
}

// A value as a field of each type takes it: nothing when the text is not a decimal
// number or the number does not fit the field. Integers take the nearest whole
// number, halves going to the even neighbour.
std::optional<std::int16_t> integerValue(std::string_view value); // 16-bit Integer
std::optional<std::int64_t> longValue(std::string_view value);    // Long (64-bit here)
std::optional<float> singleValue(std::string_view value);
std::optional<double> doubleValue(std::string_view value);

// Assigns a converted value; leaves the field alone when the value is not numeric for it.
inline void assignNumber(std::int16_t& field, std::string_view v) {
    if (const auto x = integerValue(v))
        field = *x;
}
inline void assignNumber(std::int64_t& field, std::string_view v) {
    if (const auto x = longValue(v))
        field = *x;
}
inline void assignNumber(float& field, std::string_view v) {
    if (const auto x = singleValue(v))
        field = *x;
}
inline void assignNumber(double& field, std::string_view v) {
    if (const auto x = doubleValue(v))
        field = *x;
}

// label + ":" padded with blanks so that the line is `width` characters, value last;
// one blank between them when they do not fit. Ends with CR LF.
std::string formatLine(const std::string& label, const std::string& value, int width);

// indent blanks before the text and after every CR LF in it.
std::string applyIndent(const std::string& text, int indent);

// Language text n; empty for any n outside the table.
const std::string& word(int n);

// A time stamp as "yyyy-mm-dd, hh:mm"; the plain number when it is outside years 1..9999.
std::string stampText(std::int64_t seconds);
// A time stamp as "mmm dd, yyyy hh:mm" ("Feb 20, 2024 09:00").
std::string stampTextWithMonthName(std::int64_t seconds);

// A text shown with the pattern "0.0": its number when it is one, else the text itself.
std::string revisionText(std::string_view value);

// Collects the lines of one rendering: main lines, blocks and their sub-lines.
class DocumentWriter {
public:
    explicit DocumentWriter(int width) : width_(width) {}
    void line(const std::string& label, const std::string& value);
    void header(const std::string& label) { line(label, ""); }
    // Three blanks, then a line three characters narrower: values end in the main column.
    void subLine(const std::string& label, const std::string& value);
    std::string finish(int indent) const { return applyIndent(text_, indent); }
    const std::string& text() const { return text_; }

private:
    int width_;
    std::string text_;
};
