// What veltran-cli decides without a titrator: the values config set stores.
#include "cli/ConfigCommands.h"
#include "core/Ini.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(CliChoices, ConfigSetTakesWhatTheKeyMeans) {
    const IniFile config = IniFile::parse("[LanguageFiles]\r\n1=lang/english.lng\r\n"
                                          "3=lang/deutsch.lng\r\n");
    struct Row {
        const char* section;
        const char* key;
        const char* value;
        bool stored;
    };
    for (const Row& r : {
             Row{"Options", "Speed", "9600", true},
             {"options", "speed", "1200", false},
             {"Options", "Speed", "09600", false},
             {"Options", "COM", "16", true},
             {"Options", "COM", "17", false},
             {"Options", "COM", "0", false},
             {"Options", "Language", "3", true},
             {"Options", "Language", "2", false},
             {"Options", "Debug", "True", true},
             {"Options", "Debug", "true", false},
             {"Options", "Debug", "False", true},
             {"Options", "csvSep", "1", true},
             {"Options", "decSep", "2", false},
             {"Options", "orderBy", "2", true},
             {"Options", "orderBy", "3", false},
             {"Options", "CrtPath", "/any/where", true},
             {"Versions", "QX502_MAX", "2.0", true},
             {"Ports", "COM", "/dev/ttyUSB0", true},
         }) {
        const auto allowed = allowedConfigValues(r.section, r.key, config);
        const bool stored =
            allowed.empty() || std::find(allowed.begin(), allowed.end(), r.value) != allowed.end();
        EXPECT_EQ(stored, r.stored) << r.section << " " << r.key << "=" << r.value;
    }
}
