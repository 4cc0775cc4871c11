#include "core/Language.h"

#include "core/Encoding.h"
#include "core/Ini.h"
#include "core/RegularFile.h"
#include "core/Text.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>

namespace {

LanguageTable& table() {
    static LanguageTable t;
    return t;
}

std::string cleanText(const std::string& raw) {
    const std::size_t comment = raw.find(';');
    return text::trim(comment == std::string::npos ? raw : raw.substr(0, comment));
}

IniFile loadLanguageFile(const std::filesystem::path& file, std::string* error) {
    std::string content, why;
    bool missing = false;
    const bool read = readRegularFile(file, kMaxIniBytes, content, why, &missing);
    if (error)
        *error = read || missing ? std::string() : why;
    return read ? IniFile::parse(decodeTextFile(content)) : IniFile{};
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

LanguageTable loadLanguageTable(const std::filesystem::path& file, std::string* error) {
    return readLanguageTable(loadLanguageFile(file, error));
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

std::string langTitle(int index) {
    std::string title = langText(index);
    title.erase(std::remove(title.begin(), title.end(), '&'), title.end());
    return title;
}

std::string languageName(const std::filesystem::path& file) {
    return cleanText(loadLanguageFile(file, nullptr).value("Strings", "1"));
}

std::unique_ptr<QTranslator> qtTranslator(const std::string& locale) {
    if (locale.empty())
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QString::fromStdString(locale)), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
}
