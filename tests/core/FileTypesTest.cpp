#include "core/FileTypes.h"

#include <gtest/gtest.h>

TEST(FileTypes, TheNameSaysTheType) {
    const std::pair<const char*, int> cases[] = {
        {"TI_00031.RPT", 4},
        {"seq0003.mtd", 10},
        {"SEQ0003.MTD", 10},
        {"USER0004.MTD", 3},
        {"qx0101av.mtd", 2},
        {"TI_00031.LOG", 7},
        {"TI_00031.bmp", 8},
        {"notes.txt", 0},
        {"SEQ.rpt", 4},
        {"user.log", 7},
        {"", 0},
    };
    for (const auto& [name, type] : cases)
        EXPECT_EQ(selectedFileType(name), type) << name;
}

TEST(FileTypes, MasksNarrowOnlyForTheFirstTwoPositionsOfEarlyFirmware) {
    EXPECT_EQ(fileMask(1, 0, true), "????01??.mtd");
    EXPECT_EQ(fileMask(2, 1, true), "qx??02??.mtd");
    EXPECT_EQ(fileMask(3, 0, true), "user01??.mtd");
    EXPECT_EQ(fileMask(3, 2, true), "user*.mtd");
    EXPECT_EQ(fileMask(1, 0, false), "*.mtd");
    EXPECT_EQ(fileMask(12, 0, true), "*.rpt");
    EXPECT_EQ(fileMask(11, 1, false), "TRAY????.rpt");
    EXPECT_EQ(fileMask(10, 1, false), "seq????.mtd");
    EXPECT_EQ(fileMask(7, 1, false), "*.*");
}

TEST(FileTypes, MasksMatchWithoutRegardToCase) {
    struct Case {
        const char* mask;
        const char* name;
        bool matches;
    } cases[] = {
        {"qx*.mtd", "QX0101AV.MTD", true},
        {"tray*.rpt", "TRAY0005.RPT", true},
        {"TRAY????.rpt", "tray0005.rpt", true},
        {"TRAY????.rpt", "TRAY05.RPT", false},
        {"*_*.rpt", "TI_00031.RPT", true},
        {"*_*.rpt", "ISE0001.RPT", false},
        {"*.*", "README", true},
        {"seq????.mtd", "SEQ0003.MTD", true},
        {"*.mtd", "a.mtd.bak", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"?", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(maskMatches(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}
