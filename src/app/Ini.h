#pragma once
// INI access with the semantics instruments' configuration files expect:
// case-insensitive sections and keys, values cut at 254 characters, trailing
// blanks trimmed, a missing file reading as empty, and writes that keep every
// other line of the file as it was.
#include <filesystem>
#include <string>
#include <vector>

constexpr std::size_t kIniValueLimit = 254;

// A parsed INI text, for reading many keys from one file (a language file).
class IniFile {
public:
    static IniFile load(const std::filesystem::path& file);
    static IniFile parse(const std::string& text);
    std::string value(const std::string& section, const std::string& key) const;
    bool hasSection(const std::string& section) const;

private:
    struct Entry {
        std::string section; // upper-cased
        std::string key;     // upper-cased
        std::string value;
    };
    std::vector<Entry> entries_;
};

std::string getIniString(const std::filesystem::path& file, const std::string& section,
                         const std::string& key);

// Writes one value; false when the file could not be written (nothing is changed then).
bool writeIniString(const std::filesystem::path& file, const std::string& section,
                    const std::string& key, const std::string& value);

class Host;
// writeIniString that tells the user (language text 310) when the write fails.
void setIniString(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value, Host& host);
