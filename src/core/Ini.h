#pragma once
// INI access with the semantics instruments' configuration files expect:
// case-insensitive sections and keys (the caller's names trimmed), the first of
// two sections of one name, values cut at 254 characters, trailing blanks
// trimmed and matching double quotes taken off, a UTF-8 signature skipped, a
// missing file reading as empty, and writes that keep every other line of the
// file as it was.
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

constexpr std::size_t kIniValueLimit = 254;

// A parsed INI text, for reading many keys from one file (a language file).
// Entries are indexed once, so a lookup costs the same in a file of any size.
class IniFile {
public:
    // A missing file reads as empty; a file that exists but cannot be read (a folder,
    // a FIFO, no permission, too large) also reads as empty, with `error` set.
    static IniFile load(const std::filesystem::path& file, std::string* error = nullptr);
    static IniFile parse(const std::string& text);
    std::string value(const std::string& section, const std::string& key) const;
    // The key is there (its value may be empty).
    bool hasKey(const std::string& section, const std::string& key) const;
    bool hasSection(const std::string& section) const;

private:
    std::unordered_map<std::string, std::string> values_; // "SECTION" + '\n' + "KEY", upper-cased
    std::unordered_set<std::string> sections_;
};

// The parsed file, read again only when it changed on disk.
std::shared_ptr<const IniFile> cachedIniFile(const std::filesystem::path& file);
// Why the file could not be read at its last reading; "" when it could (or is missing).
std::string iniReadError(const std::filesystem::path& file);

std::string getIniString(const std::filesystem::path& file, const std::string& section,
                         const std::string& key);

// Writes one value; false, with the reason in `error`, when the file could not
// be written (nothing is changed then). A symbolic link is followed; a file
// without write permission is not replaced; a value with CR, LF or NUL and a
// name with "=", "]", CR, LF or NUL are refused, naming the key, so that no
// write can add lines of its own.
bool writeIniString(const std::filesystem::path& file, const std::string& section,
                    const std::string& key, const std::string& value, std::string* error = nullptr);

class Host;
// writeIniString that tells the user (language text 310) when the write fails.
void setIniString(const std::filesystem::path& file, const std::string& section,
                  const std::string& key, const std::string& value, Host& host);
