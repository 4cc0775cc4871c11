#pragma once
// The language table: every caption and message the user sees, by number.
#include <array>
#include <filesystem>
#include <string>

constexpr int kLanguageTextCount = 1211;

class IniFile;

using LanguageTable = std::array<std::string, kLanguageTextCount>;

// Reads section "Strings" of a language file: each text is cut at its first ";"
// (a comment) and trimmed; indices the file lacks stay empty.
LanguageTable readLanguageTable(const IniFile& file);

// The process-wide table, filled once at start.
const std::string& langText(int index);
void setLanguageTable(const LanguageTable& table);
const LanguageTable& languageTable();

// A language file's own name (its text 1).
std::string languageName(const std::filesystem::path& file);
