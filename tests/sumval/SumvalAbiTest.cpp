// libsumval through its C interface, as the application sees it after dlsym.
#include "SumvalFixture.h"
#include "sumval/sumval.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using SumvalAbi = SumvalFixture;

// Bytes 0..250 repeating: crosses the 4000-byte read blocks with high-bit
// bytes on both sides of every boundary.
std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(i % 251);
    }
    return bytes;
}

TEST(SumvalCrc, RegisterKeepsTheBitsShiftedOutOfBit15) {
    // Reference values from an independent CRC-16/CCITT-FALSE computation.
    EXPECT_EQ(sumval::crcUpdate(sumval::kCrcInit, "abc", 3), 0xF00A514Au);
    EXPECT_EQ(sumval::crcUpdate(sumval::kCrcInit, "123456789", 9), 0x4B9129B1u);
    EXPECT_EQ(sumval::crcUpdate(sumval::kCrcInit, "", 0), 0xFFFFu);
}

TEST(SumvalCrc, SealAppendsTheCrcHighByteFirst) {
    EXPECT_EQ(sumval::sealed("abc"), std::string("abc\x51\x4A"));
    EXPECT_EQ(sumval::sealed(""), std::string("\xFF\xFF"));
}

TEST_F(SumvalAbi, FileChecksumOfKnownContents) {
    EXPECT_EQ(GetFileChecksum(write("abc.bin", "abc").c_str()), 0xF00A514Au);
    EXPECT_EQ(GetFileChecksum(write("abc.sealed", "abc\x51\x4A").c_str()), 0u);
    EXPECT_EQ(GetFileChecksum(write("digits.txt", "123456789").c_str()), 0x4B9129B1u);
    // Binary mode: CR LF and NUL bytes count as they are.
    const std::string crlf("A\r\n\0B", 5);
    EXPECT_EQ(GetFileChecksum(write("crlf.bin", crlf).c_str()),
              sumval::crcUpdate(sumval::kCrcInit, crlf.data(), crlf.size()));
}

TEST_F(SumvalAbi, FileChecksumOfUnreadableFilesIs65535) {
    EXPECT_EQ(GetFileChecksum((dir_ / "missing.bin").c_str()), 65535u);
    EXPECT_EQ(GetFileChecksum(write("empty.bin", "").c_str()), 65535u);
    EXPECT_EQ(GetFileChecksum(dir_.c_str()), 65535u) << "a folder";
    EXPECT_EQ(GetFileChecksum(nullptr), 65535u);
    // Neither blocks on a FIFO that nobody writes nor reads /dev/zero for ever.
    const auto fifo = dir_ / "fifo.mtd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(GetFileChecksum(fifo.c_str()), 65535u);
    EXPECT_EQ(GetFileChecksum("/dev/zero"), 65535u);
    EXPECT_EQ(VerifyMethodFile((dir_ / "QX0101AA.MTD").c_str(), 0), SUMVAL_BAD_CHECKSUM);
}

TEST_F(SumvalAbi, FileChecksumAcrossReadBlockBoundaries) {
    // Independently computed registers of pattern() prefixes.
    const std::vector<std::pair<std::size_t, std::uint32_t>> known = {{3999, 0x7C5A571Au},
                                                                      {4000, 0x5AB66C76u},
                                                                      {4001, 0xB68F976Fu},
                                                                      {8000, 0x3AB53C15u},
                                                                      {10000, 0x01F03FF0u}};
    for (const auto& [size, reg] : known) {
        const auto file = write("block" + std::to_string(size) + ".bin", pattern(size));
        EXPECT_EQ(GetFileChecksum(file.c_str()), reg) << size << " bytes";
    }
}

TEST_F(SumvalAbi, LargeSealedFileIsZeroAndAnyChangedByteIsNot) {
    const std::string bytes = sumval::sealed(pattern(12345));
    EXPECT_EQ(GetFileChecksum(write("big.bin", bytes).c_str()), 0u);
    for (std::size_t at : {std::size_t{0}, std::size_t{3999}, std::size_t{4000}, std::size_t{8001},
                           bytes.size() - 1}) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        EXPECT_NE(GetFileChecksum(write("changed.bin", changed).c_str()), 0u) << "byte " << at;
    }
}

TEST(SumvalStringChecksum, LowSixteenBitsAsSignedNumber) {
    EXPECT_EQ(GetStringChecksum("abc"), 0x514A);
    EXPECT_EQ(GetStringChecksum("123456789"), 0x29B1);
    EXPECT_EQ(GetStringChecksum(""), -1);
    EXPECT_EQ(GetStringChecksum(nullptr), -1);
    EXPECT_EQ(GetStringChecksum("QX5040"), -31184);
    EXPECT_EQ(GetStringChecksum("QX5310"), 8341);
    // 8-bit text: bytes above 0x7F must not be sign-extended into the register.
    EXPECT_EQ(GetStringChecksum("\xE9t\xE9"), 23206);
}

TEST_F(SumvalAbi, NameTest) {
    struct Case {
        const char* name;
        int32_t expected;
    };
    // Every file holds a valid family-0 method, so a name that passes gives 0.
    const Case cases[] = {
        {"QX0000.MTD", SUMVAL_BAD_NAME}, // number 0 is not above 0
        {"QX12AB.MTD", SUMVAL_BAD_NAME}, // non-digits
        {"QX0001.MTD", SUMVAL_VALID},
        {"QX1201AB.MTD", SUMVAL_VALID}, // digits right after the prefix, rest free
        {"qx1201ab.mtd", SUMVAL_VALID}, // lower case on disk, opened as given
        {"USER0001.MTD", SUMVAL_VALID},
        {"user0001.mtd", SUMVAL_VALID},
        {"USER0000.MTD", SUMVAL_BAD_NAME},
        {"USER123.MTD", SUMVAL_BAD_NAME}, // only three digits
        {"USER.MTD", SUMVAL_BAD_NAME},
        {"QX1.MTD", SUMVAL_BAD_NAME}, // too short for four digits
        {"QX.MTD", SUMVAL_BAD_NAME},
        {"Q.MTD", SUMVAL_BAD_NAME},
        {".MTD", SUMVAL_BAD_NAME},
        {"AQX0001.MTD", SUMVAL_BAD_NAME}, // "QX" anywhere: the field still starts at char 3
        {"ABCD1234.MTD", SUMVAL_VALID},   // any four-letter prefix
        {"USER0001", SUMVAL_VALID},       // no extension
        {"USER 001.MTD", SUMVAL_BAD_NAME},
        {"USER+001.MTD", SUMVAL_BAD_NAME},
        {"QX/USER0001.MTD", SUMVAL_VALID},    // a folder's name does not count
        {"v1.2/USER0001.MTD", SUMVAL_VALID},  // nor a dot in a folder
        {"USER0001.QX.MTD", SUMVAL_BAD_NAME}, // base "USER0001.QX": its "QX" moves the field
    };
    const std::string text = method("MethType 32");
    for (const Case& c : cases) {
        const auto file = write(c.name, text);
        EXPECT_EQ(VerifyMethodFile(file.c_str(), 0), c.expected) << c.name;
    }
}

TEST_F(SumvalAbi, NameTestComesBeforeTheFile) {
    EXPECT_EQ(VerifyMethodFile((dir_ / "QX0000.MTD").c_str(), 0), SUMVAL_BAD_NAME);
    EXPECT_EQ(VerifyMethodFile(nullptr, 0), SUMVAL_BAD_NAME);
}

TEST_F(SumvalAbi, ChecksumTest) {
    EXPECT_EQ(VerifyMethodFile((dir_ / "QX1201AB.MTD").c_str(), 0), SUMVAL_BAD_CHECKSUM);
    EXPECT_EQ(VerifyMethodFile(write("QX1202AB.MTD", "").c_str(), 0), SUMVAL_BAD_CHECKSUM);
    EXPECT_EQ(VerifyMethodFile(write("QX1203AB.MTD", "MethType 32\r\n").c_str(), 0),
              SUMVAL_BAD_CHECKSUM)
        << "unsealed";

    std::string valid = method("MethType 32");
    ASSERT_EQ(VerifyMethodFile(write("QX1204AB.MTD", valid).c_str(), 0), SUMVAL_VALID);
    valid.back() = static_cast<char>(valid.back() ^ 0x40);
    EXPECT_EQ(VerifyMethodFile(write("QX1204AB.MTD", valid).c_str(), 0), SUMVAL_BAD_CHECKSUM);
    // Without a type line a readable file would give 5: the checksum is judged first.
    std::string noType = method("Comment none");
    noType.back() = static_cast<char>(noType.back() ^ 0x40);
    EXPECT_EQ(VerifyMethodFile(write("QX1205AB.MTD", noType).c_str(), 0), SUMVAL_BAD_CHECKSUM);
}

TEST_F(SumvalAbi, AllowedTypesByFamily) {
    const std::vector<int32_t> types = {0, 31, 32, 33, 34, 35, 36, 37, 40, 41, 42, 44, 45};
    const std::vector<std::pair<int32_t, std::vector<int32_t>>> allowed = {
        {0, {32, 40}}, {1, {32, 33, 37, 40}}, {2, {34}}, {3, {36}}, {4, {32}},
        {-1, {32}},    {1000, {32}}};
    for (const auto& [family, accepted] : allowed) {
        for (int32_t type : types) {
            const auto file = write("USER0001.MTD", method("MethType " + std::to_string(type)));
            const bool expectValid =
                std::find(accepted.begin(), accepted.end(), type) != accepted.end();
            EXPECT_EQ(VerifyMethodFile(file.c_str(), family),
                      expectValid ? SUMVAL_VALID : SUMVAL_BAD_METHOD_TYPE)
                << "family " << family << " type " << type;
        }
    }
}

TEST_F(SumvalAbi, MethodTypeLine) {
    struct Case {
        const char* what;
        std::string line;
        int32_t expected; // for family 1
    };
    const Case cases[] = {
        {"no type line", "Comment none", SUMVAL_BAD_METHOD_TYPE},
        {"no blank after the key", "MethType=33", SUMVAL_BAD_METHOD_TYPE},
        {"tab is not the blank", "MethType\t33", SUMVAL_BAD_METHOD_TYPE},
        {"extra blanks before the value", "MethType   37", SUMVAL_VALID},
        {"digits end the value", "MethType 33.9 units", SUMVAL_VALID},
        {"signed value", "MethType +37", SUMVAL_VALID},
        {"no number", "MethType abc", SUMVAL_BAD_METHOD_TYPE},
        {"huge number saturates", "MethType 99999999999999999999", SUMVAL_BAD_METHOD_TYPE},
        {"key again after the blank: skipped", "Note MethType\r\nMethType 33", SUMVAL_VALID},
        {"first qualifying line wins", "MethType 34\r\nMethType 33", SUMVAL_BAD_METHOD_TYPE},
        {"key inside a longer word still counts", "OldMethType 37", SUMVAL_VALID},
    };
    for (const Case& c : cases) {
        const auto file = write("QX1201AB.MTD", method(c.line));
        EXPECT_EQ(VerifyMethodFile(file.c_str(), 1), c.expected) << c.what;
    }
}

TEST_F(SumvalAbi, LongLinesAreJudgedInPiecesOf79) {
    struct Case {
        const char* what;
        std::string line;
        int32_t expected; // for family 1
    };
    const Case cases[] = {
        // As a whole this line holds the key after its first blank and would be
        // skipped; its second piece is "xxxxxxMethType 37" and counts.
        {"key in the second piece", "Note " + std::string(80, 'x') + "MethType 37", SUMVAL_VALID},
        // "Meth" ends the first piece, "Type 37" starts the second.
        {"key split between pieces", std::string(75, 'x') + "MethType 37", SUMVAL_BAD_METHOD_TYPE},
        // The first piece is the key and 71 blanks: its value reads as 0.
        {"value beyond the first piece", "MethType" + std::string(80, ' ') + "37",
         SUMVAL_BAD_METHOD_TYPE},
        {"value just inside the first piece", "MethType" + std::string(68, ' ') + "37",
         SUMVAL_VALID},
        // Pieces of a long comment before the type line must not swallow it.
        {"long line before the type line", std::string(200, 'c') + "\r\nMethType 33", SUMVAL_VALID},
    };
    for (const Case& c : cases) {
        const auto file = write("QX1201AB.MTD", method(c.line));
        EXPECT_EQ(VerifyMethodFile(file.c_str(), 1), c.expected) << c.what;
    }
}

TEST_F(SumvalAbi, MethodLargerThanOneReadBlock) {
    std::string text;
    for (int i = 0; text.size() < 9000; ++i) {
        text += "Par" + std::to_string(i) + " " + std::to_string(i * 7) + "\r\n";
    }
    text += "MethType 40\r\n";
    const auto file = write("QX5301AB.MTD", sumval::sealed(text));
    EXPECT_EQ(VerifyMethodFile(file.c_str(), 0), SUMVAL_VALID);
    EXPECT_EQ(VerifyMethodFile(file.c_str(), 2), SUMVAL_BAD_METHOD_TYPE);
}

TEST_F(SumvalAbi, SealToolProducesFilesTheLibraryAccepts) {
    const std::string text = "Name Base\r\nMethType 36\r\n";
    const auto in = write("plain.txt", text);
    const auto out = dir_ / "QX5301AB.MTD";
    const std::string tool = VT_BIN_DIR "/seal-method";
    ASSERT_EQ(std::system((tool + " '" + in.string() + "' '" + out.string() + "'").c_str()), 0);
    EXPECT_EQ(VerifyMethodFile(out.c_str(), 3), SUMVAL_VALID);

    // Standard input to standard output, bytes unchanged before the seal.
    const auto piped = dir_ / "piped.bin";
    ASSERT_EQ(std::system(("printf 'abc' | " + tool + " > '" + piped.string() + "'").c_str()), 0);
    EXPECT_EQ(GetFileChecksum(piped.c_str()), 0u);
    EXPECT_EQ(std::filesystem::file_size(piped), 5u);

    EXPECT_NE(std::system((tool + " '" + (dir_ / "missing").string() + "' 2>/dev/null").c_str()),
              0);
}

} // namespace
