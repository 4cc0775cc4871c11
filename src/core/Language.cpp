#include "core/Language.h"

#include "core/Ini.h"
#include "core/Text.h"

namespace {

LanguageTable& table() {
    static LanguageTable t;
    return t;
}

std::string cleanText(const std::string& raw) {
    const std::size_t comment = raw.find(';');
    return text::trim(comment == std::string::npos ? raw : raw.substr(0, comment));
}

} // namespace

LanguageTable readLanguageTable(const IniFile& file) {
    LanguageTable t;
    for (int i = 0; i < kLanguageTextCount; ++i) {
        const std::string raw = file.value("Strings", std::to_string(i));
        if (!raw.empty())
            t[i] = cleanText(raw);
    }
    return t;
}

const std::string& langText(int index) {
    static const std::string empty;
    if (index < 0 || index >= kLanguageTextCount)
        return empty;
    return table()[index];
}

void setLanguageTable(const LanguageTable& t) {
    table() = t;
}

const LanguageTable& languageTable() {
    return table();
}

std::string languageName(const std::filesystem::path& file) {
    return cleanText(IniFile::load(file).value("Strings", "1"));
}
