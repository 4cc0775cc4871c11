// What veltran-cli decides without a titrator: the values config set stores,
// and the document type and kind render and print take from a file.
#include "cli/ConfigCommands.h"
#include "cli/RenderCommand.h"
#include "core/Ini.h"

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
             {"Options", "ConnectTimeout", "60", true},
             {"Options", "connecttimeout", "1", true},
             {"Options", "ConnectTimeout", "abc", false},
             {"Options", "ConnectTimeout", "0", false},
             {"Options", "ConnectTimeout", "-5", false},
             {"Options", "ConnectTimeout", "1000000", false},
             {"Ports", "16", "/dev/ttyUSB0", true},
             {"ports", "1", "rfc2217://[fe80::1]:2217", true},
             {"Ports", "2", "", true}, // back to the default device
             {"Ports", "17", "/dev/null", false},
             {"Ports", "0", "/dev/null", false},
             {"Ports", "03", "/dev/null", false}, // never looked up under that name
             {"Ports", "COM", "/dev/ttyUSB0", false},
             {"Ports", "3", "tcp://host", false},
             {"Ports", "3", "tcp://[127.0.0.1:47001]:2000", false},
         }) {
        const bool stored = configValueProblem(r.section, r.key, r.value, config).empty();
        EXPECT_EQ(stored, r.stored) << r.section << " " << r.key << "=" << r.value;
    }
    EXPECT_EQ(configValueProblem("Options", "ConnectTimeout", "0", config),
              "ConnectTimeout: \"0\" is not allowed; use a whole number from 1 to 60");
    EXPECT_EQ(configValueProblem("Ports", "17", "/dev/null", config),
              "Ports: \"17\" is not allowed; use a port number from 1 to 16");
}

TEST(CliChoices, DocumentTypeAndKindComeFromTheNameAndTheFile) {
    struct Row {
        const char* file;
        const char* text;
        std::optional<int> type, kind; // --type, --kind
        int expectedType, expectedKind;
    };
    const char* kStandard = "FileID QX0102TA\r\nMethType 32\r\n";
    const char* kKarlFischer2 = "FileID QX0104CW\r\nMethType 36\r\n";
    for (const Row& r : {
             Row{"SEQ0001.MTD", "", {}, {}, 10, 0},
             {"MYSEQ001.MTD", kStandard, {}, {}, 2, 0}, // only SEQ*.MTD is a sequence
             {"TEST0001.MTD", kStandard, {}, {}, 2, 0},
             {"TEST0001.MTD", "FileID USER0001\r\n", {}, {}, 3, 0},
             {"USER0004.MTD", "MethType 34\r\n", {}, {}, 3, 2},
             {"qx0104cw.mtd", kKarlFischer2, {}, {}, 2, 3},
             {"qx0104cw.mtd", kKarlFischer2, {}, 0, 2, 0},
             {"qx0104cw.mtd", kKarlFischer2, 4, {}, 4, 0},
             {"TI_00001.RPT", "", {}, {}, 4, 0},
             {"NOTES.TXT", kKarlFischer2, {}, {}, 0, 0},
         }) {
        RenderOptions o;
        o.file = std::string("/some/folder/") + r.file;
        o.type = r.type;
        o.kind = r.kind;
        const int type = documentType(o, r.text);
        EXPECT_EQ(type, r.expectedType) << r.file;
        EXPECT_EQ(documentKind(o, type, r.text), r.expectedKind) << r.file;
    }
}
