// The INI reader and writer on one file's text: reading never fails, and storing
// one value makes it readable while every other value reads as before.
#include "FuzzCheck.h"
#include "core/Ini.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path scratchFile() {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("veltran-fuzz-ini-" + std::to_string(::getpid()) + ".ini");
    return file;
}

// Keys the fuzzer can reach with short texts, and the one the write stores.
constexpr const char* kSections[] = {"Options", "Ports", "A", ""};
constexpr const char* kKeys[] = {"COM", "Language", "1", "K", ""};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratchFile(); // made before the handler, so it is destroyed after it
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove(scratchFile(), ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniFile before = IniFile::parse(text);

    const std::filesystem::path file = scratchFile();
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    if (!writeIniString(file, "Options", "COM", "7"))
        return 0;
    const IniFile after = IniFile::load(file);
    fuzzCheck(after.value("options", "com") == "7", "a stored value reads back");
    for (const char* s : kSections)
        for (const char* k : kKeys)
            if (!(std::string(s) == "Options" && std::string(k) == "COM"))
                fuzzCheck(after.value(s, k) == before.value(s, k),
                          "storing one value leaves the others as they were");
    return 0;
}
