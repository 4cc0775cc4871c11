// Opening a PC pane file for the viewer or the printer, and the picture beside it.
#include "documents/PcDocument.h"

#include "EnglishTexts.h"
#include "TempDir.h"
#include "core/FileTypes.h"
#include "documents/BitmapHeader.h"
#include "documents/PrintLines.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A BMP file header and a 40-byte info header.
std::string bmpHeader(std::int32_t width, std::int32_t height, int bits = 24) {
    std::string h(54, '\0');
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            h[at + i] = static_cast<char>(v >> (8 * i));
    };
    h[0] = 'B';
    h[1] = 'M';
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, static_cast<std::uint32_t>(bits), 2);
    return h;
}

} // namespace

TEST(PcDocument, EachCommandTakesItsTypesAndNamesTheRest) {
    TempDir dir;
    dir.write("NOTES.TXT", "hello\n");
    dir.write("SEQ0003.MTD", "NAM Run\n");
    dir.write("user0101.MTD", "Name A\nMode 0\n");
    dir.write("R0001.RPT", "\tline\n");
    struct Case {
        const char* entry;
        DocumentUse use;
        int type;
        int refusal; // 0: accepted
    };
    for (const Case c : {
             Case{"NOTES.TXT", DocumentUse::View, ftype::kOther, kTextCannotOpen},
             {"SEQ0003.MTD", DocumentUse::Preview, ftype::kSequences, kTextCannotPreview},
             {"SEQ0003.MTD", DocumentUse::Print, ftype::kSequences, 0},
             {"SEQ0003.MTD", DocumentUse::View, ftype::kSequences, 0},
             {"user0101.MTD 12.03.2025 1 KB", DocumentUse::View, ftype::kUserMethods, 0},
             {"NOTES.TXT", DocumentUse::Print, ftype::kOther, kTextCannotPrint},
             {"R0001.RPT", DocumentUse::Preview, ftype::kReports, 0},
         }) {
        const OpenedDocument doc = openPcDocument(dir.path(), c.entry, c.use);
        EXPECT_EQ(doc.fileType, c.type) << c.entry;
        EXPECT_EQ(doc.refusal, c.refusal) << c.entry;
        EXPECT_EQ(doc.ok(), c.refusal == 0) << c.entry;
        // A refused file is not read.
        EXPECT_EQ(doc.text.empty(), c.refusal != 0) << c.entry;
    }
    EXPECT_EQ(openPcDocument(dir.path(), "R0001.RPT", DocumentUse::View).text, "\tline\r\n");
}

TEST(PcDocument, AFileThatCannotBeReadGivesItsErrorAndNoText) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "R0002.RPT");
    ASSERT_EQ(::mkfifo((dir.path() / "R0003.RPT").c_str(), 0600), 0);
    struct Case {
        const char* name;
        int number;
    };
    for (const Case c : {Case{"R0001.RPT", ENOENT}, {"R0002.RPT", EIO}, {"R0003.RPT", EIO}}) {
        const OpenedDocument doc = openPcDocument(dir.path(), c.name, DocumentUse::View);
        EXPECT_FALSE(doc.ok()) << c.name;
        EXPECT_EQ(doc.errorNumber, c.number) << c.name;
        EXPECT_NE(doc.error.find(c.name), std::string::npos) << doc.error;
        EXPECT_TRUE(doc.text.empty());
    }
}

TEST(PcDocument, CompanionPictureIsFoundWithoutRegardToCase) {
    TempDir dir;
    dir.write("R0001.RPT", "x");
    dir.write("r0001.Bmp", "BM");
    dir.write("R0002.RPT", "x");
    dir.write("R0002.bmp", "BM");
    dir.write("R0002.BMP", "BM");
    dir.write("R0003.RPT", "x");
    std::filesystem::create_directory(dir.path() / "R0003.BMP"); // a folder is no picture
    EXPECT_EQ(openPcDocument(dir.path(), "R0001.RPT", DocumentUse::View).graphPath,
              (dir.path() / "r0001.Bmp").string());
    EXPECT_EQ(findCompanionPicture(dir.path(), "R0002.RPT"), (dir.path() / "R0002.bmp").string());
    EXPECT_EQ(findCompanionPicture(dir.path(), "R0003.RPT"), "");
    EXPECT_EQ(findCompanionPicture(dir.path(), "R0004.RPT"), "");
    EXPECT_EQ(findCompanionPicture(dir.path(), "NODOT"), "");
}

TEST(BitmapHeader, SizeIsCheckedBeforeAnyDecoding) {
    useEnglishTexts();
    struct Case {
        std::string header;
        bool ok;
        const char* reason;
    };
    std::string core = bmpHeader(0, 0).substr(0, 26); // the 12-byte OS/2 header
    core[14] = 12;
    core[18] = 64;
    core[20] = 32;
    core[24] = 8;
    for (const Case& c : {
             Case{bmpHeader(320, 200), true, ""},
             {bmpHeader(8000, 5000), true, ""}, // exactly 40 megapixels
             {bmpHeader(320, -200), true, ""},  // stored top-down
             {core, true, ""},
             {bmpHeader(8000, 5001), false, "8000 x 5001 pixels, more than the 40-megapixel"},
             {bmpHeader(65535, -2147483647 - 1), false, "40-megapixel"},
             {bmpHeader(0, 200), false, "damaged"},
             {bmpHeader(320, 200, 7), false, "damaged"},
             {bmpHeader(320, 200).substr(0, 30), false, "damaged"},
             {"GIF89a" + bmpHeader(1, 1), false, "not a BMP"},
             {"", false, "not a BMP"},
         }) {
        BitmapSize size;
        std::string reason;
        EXPECT_EQ(checkBitmapHeader(c.header, size, reason), c.ok) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
    BitmapSize size;
    std::string reason;
    ASSERT_TRUE(checkBitmapFile(VT_SOURCE_DIR "/data/samples/pc/TI_00031.BMP", size, reason));
    EXPECT_EQ(size.width, 320);
    EXPECT_EQ(size.height, 200);
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(checkBitmapFile(dir.path() / "pipe.bmp", size, reason)); // not waited for
    // 1000 x 1000 promised, 10 bytes of pixels given: not shown as a black picture.
    const auto shortFile = dir.write("short.bmp", bmpHeader(1000, 1000) + std::string(10, '\x7f'));
    EXPECT_FALSE(checkBitmapFile(shortFile, size, reason));
    EXPECT_NE(reason.find("shorter"), std::string::npos) << reason;
    const std::string whole = bmpHeader(3, 2) + std::string(2 * 12, '\0'); // rows padded to 12
    EXPECT_TRUE(checkBitmapFile(dir.write("whole.bmp", whole), size, reason)) << reason;
    EXPECT_FALSE(
        checkBitmapFile(dir.write("cut.bmp", whole.substr(0, whole.size() - 1)), size, reason));
}
