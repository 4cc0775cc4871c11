#include "link/Frame.h"

#include <gtest/gtest.h>

using namespace frame;

TEST(LinkFrameNumbers, Hex4WrapsAndPads) {
    EXPECT_EQ(hex4(0), "0000");
    EXPECT_EQ(hex4(255), "00FF");
    EXPECT_EQ(hex4(0xABCD), "ABCD");
    EXPECT_EQ(hex4(65535), "FFFF");
    EXPECT_EQ(hex4(65536), "0000");
    EXPECT_EQ(hex4(65536 + 18), "0012");
}

TEST(LinkFrameNumbers, ChecksumIsByteSumModulo65536) {
    EXPECT_EQ(stringChecksum(""), 0);
    EXPECT_EQ(stringChecksum("abc"), 294);
    EXPECT_EQ(hex4(stringChecksum("abc")), "0126");
    // Bytes count unsigned: 0xFF is 255, not -1.
    EXPECT_EQ(stringChecksum("\xFF\x80"), 255 + 128);
    EXPECT_EQ(stringChecksum(std::string(257, '\xFF')), (257 * 255) % 65536);
}

TEST(LinkFrameNumbers, HexToNumberReadsFourDigitsAnyCase) {
    EXPECT_EQ(hexToNumber("00FF"), 255u);
    EXPECT_EQ(hexToNumber("abcd"), 0xABCDu);
    EXPECT_EQ(hexToNumber("1234XYZ"), 0x1234u);
    EXPECT_EQ(hexToNumber("FFFF"), 65535u);
    // A non-hex character is not rejected; its digit value is simply out of range.
    EXPECT_EQ(hexToNumber("000G"), 16u);
    EXPECT_NE(hexToNumber("00 1"), 1u);
}

TEST(LinkFrameCommandLine, StartChecksumAndCarriageReturn) {
    EXPECT_EQ(commandLine("abc"), "!abc0126\r");
    const std::string echo = commandLine("echo");
    EXPECT_EQ(echo.front(), '!');
    EXPECT_EQ(echo.back(), '\r');
    EXPECT_EQ(echo.substr(5, 4), hex4(stringChecksum("echo")));
    std::string parsed;
    EXPECT_TRUE(parseCommandLine(echo, parsed));
    EXPECT_EQ(parsed, "echo");
    EXPECT_FALSE(parseCommandLine("!echo0000\r", parsed));
    EXPECT_FALSE(parseCommandLine("echo01A2\r", parsed));
}

TEST(LinkFrameBuild, HeaderPayloadAndChecksumOfEverythingBeforeTheEnd) {
    const std::string f = buildFrame('t', 3, "");
    EXPECT_EQ(f.substr(0, 6), "\\t0003");
    EXPECT_EQ(f.size(), kMinFrameLength);
    EXPECT_EQ(f.substr(6, 2), "\\c");
    EXPECT_EQ(f.substr(8), hex4(stringChecksum("\\t0003")));

    const std::string p = buildFrame('p', 0x1F, "AB");
    EXPECT_EQ(p, "\\p001FAB\\c" + hex4(stringChecksum("\\p001FAB")));
}

TEST(LinkFrameBuild, BackslashesInThePayloadAreDoubled) {
    const std::string f = buildFrame('p', 0, "a\\cb");
    EXPECT_EQ(f.substr(6, 5), "a\\\\cb");
    EXPECT_EQ(getMsg(f), "a\\cb");

    const std::string tail = buildFrame('p', 1, "end\\");
    EXPECT_EQ(tail.substr(6, 5), "end\\\\");
    EXPECT_EQ(getMsg(tail), "end\\");
}

TEST(LinkFrameFields, TypeFieldAndHeader) {
    const std::string f = buildFrame('p', 0x0102, "xyz");
    EXPECT_EQ(getType(f), "p");
    EXPECT_EQ(getType("\\"), "");
    EXPECT_EQ(getType(""), "");
    EXPECT_EQ(getFrameField(f), 0x0102u);
    EXPECT_EQ(getFrameField("\\p01"), 65535u);
    EXPECT_EQ(getFrameField("\\p0001"), 1u);
    EXPECT_EQ(header(f), "\\p0102");
    EXPECT_EQ(header("\\p"), "\\p");
}

TEST(LinkFrameFields, GetMsgEdgeCases) {
    EXPECT_EQ(getMsg(buildFrame('t', 0, "")), "");
    EXPECT_EQ(getMsg("\\t0000\\c00"), ""); // shorter than a frame
    EXPECT_EQ(getMsg("\\p0000ab\\\\cd\\c0000"), "ab\\cd");
    // A lone backslash and the character after it both vanish.
    EXPECT_EQ(getMsg("\\p0000a\\bc\\c0000"), "ac");
    EXPECT_EQ(getMsg("\\p0000ab\\\\c0000"), "ab");
    // Eight-bit content survives.
    const std::string bytes("\x00\x80\xFF\r\n", 5);
    EXPECT_EQ(getMsg(buildFrame('p', 0, bytes)), bytes);
}

TEST(LinkFrameEnd, CompleteOnlyAtAnUnescapedEndMark) {
    EXPECT_TRUE(isComplete(buildFrame('t', 0, "")));
    EXPECT_TRUE(isComplete(buildFrame('p', 0, "end\\")));
    EXPECT_TRUE(isComplete(buildFrame('p', 0, "\\\\")));
    EXPECT_FALSE(isComplete("\\t0000\\c00"));
    EXPECT_FALSE(isComplete("\\p0000abcdefgh"));

    // Read character by character, a payload holding "\c" followed by four
    // characters must not end the frame early.
    const std::string payload = "\\cABCD-more";
    const std::string f = buildFrame('p', 2, payload);
    for (std::size_t len = 1; len < f.size(); ++len)
        EXPECT_FALSE(isComplete(f.substr(0, len))) << "ended early at " << len;
    EXPECT_TRUE(isComplete(f));
}

TEST(LinkFrameEnd, EveryPrefixOfABackslashHeavyFrameIsIncomplete) {
    const std::string f = buildFrame('p', 7, "\\\\c\\c\\\\\\cFFFF\\");
    for (std::size_t len = 1; len < f.size(); ++len)
        EXPECT_FALSE(isComplete(f.substr(0, len))) << "ended early at " << len;
    EXPECT_TRUE(isComplete(f));
    EXPECT_TRUE(hasValidChecksum(f));
    EXPECT_EQ(getMsg(f), "\\\\c\\c\\\\\\cFFFF\\");
}

TEST(LinkFrameEnd, ChecksumIsVerified) {
    std::string f = buildFrame('p', 0, "payload");
    EXPECT_TRUE(hasValidChecksum(f));
    f[7] = 'A';
    EXPECT_FALSE(hasValidChecksum(f));
    EXPECT_FALSE(hasValidChecksum("\\t0000\\c"));
    // The checksum digits may arrive in lower case.
    std::string lower = "\\t00FF\\c";
    std::string sum = hex4(stringChecksum(lower.substr(0, 6)));
    for (char& c : sum)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(hasValidChecksum(lower + sum));
}

TEST(LinkFrameBlocks, CountRoundsUp) {
    EXPECT_EQ(blockCount(0), 0u);
    EXPECT_EQ(blockCount(1), 1u);
    EXPECT_EQ(blockCount(256), 1u);
    EXPECT_EQ(blockCount(257), 2u);
    EXPECT_EQ(blockCount(512), 2u);
    EXPECT_EQ(blockCount(513), 3u);
}
