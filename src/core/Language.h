#pragma once
// The language table: every caption and message the user sees, by number.
#include <array>
#include <filesystem>
#include <memory>
#include <string>

constexpr int kLanguageTextCount = 1211;

class IniFile;
class QTranslator;

using LanguageTable = std::array<std::string, kLanguageTextCount>;

// Reads section "Strings" of a language file: each text is cut at its first ";"
// (a comment) and trimmed; indices the file lacks stay empty.
LanguageTable readLanguageTable(const IniFile& file);

// Reads a language file as the program does, in the encoding decodeTextFile defines.
// A missing file gives an empty table; one that cannot be read sets `error`.
LanguageTable loadLanguageTable(const std::filesystem::path& file, std::string* error = nullptr);

// The process-wide table, filled once at start.
const std::string& langText(int index);
void setLanguageTable(const LanguageTable& table);
const LanguageTable& languageTable();

// A caption (a command's language text) without its "&" mark, as a window or box title.
std::string langTitle(int index);

// A language file's own name (its text 1).
std::string languageName(const std::filesystem::path& file);

// Language text 121: the language's Qt locale name ("de", "pt_BR").
constexpr int kTextQtLocale = 121;

// Qt's own translation (qtbase_<locale>.qm) for the file, print and message-box
// dialogs; nothing when Qt has none for the locale.
std::unique_ptr<QTranslator> qtTranslator(const std::string& locale);
