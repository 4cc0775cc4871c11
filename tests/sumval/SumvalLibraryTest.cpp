// The application's run-time binding to libsumval.
#include "core/SumvalLibrary.h"

#include "LibraryEnv.h"
#include "SumvalFixture.h"

#include <thread>
#include <vector>

namespace {

using SumvalBinding = SumvalFixture;

// Built by this folder: loads fine but exports none of the checksum functions.
constexpr const char* kPartial = VT_SUMVAL_PARTIAL;

TEST_F(SumvalBinding, CallsReachTheLibrary) {
    LibraryEnv env;
    std::string error;
    std::uint32_t reg = 0;
    ASSERT_TRUE(sumval::fileChecksum(write("abc.bin", "abc"), reg, error)) << error;
    EXPECT_EQ(reg, 0xF00A514Au);

    std::int16_t value = 0;
    ASSERT_TRUE(sumval::stringChecksum("QX5040", value, error)) << error;
    EXPECT_EQ(value, -31184);

    std::int32_t code = -1;
    ASSERT_TRUE(
        sumval::verifyMethodFile(write("qx1201ab.mtd", method("MethType 34")), 2, code, error))
        << error;
    EXPECT_EQ(code, sumval::kValid);
    ASSERT_TRUE(
        sumval::verifyMethodFile(write("qx1201ab.mtd", method("MethType 34")), 1, code, error));
    EXPECT_EQ(code, sumval::kBadMethodType);
    ASSERT_TRUE(sumval::verifyMethodFile(dir_ / "QX0000.MTD", 0, code, error));
    EXPECT_EQ(code, sumval::kBadName);
}

TEST_F(SumvalBinding, FindsTheLibraryBesideTheProgram) {
    // The test build places a copy of libsumval.so beside this executable.
    LibraryEnv env(std::nullopt);
    std::string error;
    std::uint32_t reg = 0;
    ASSERT_TRUE(sumval::fileChecksum(write("abc.sealed", "abc\x51\x4A"), reg, error)) << error;
    EXPECT_EQ(reg, 0u);
}

TEST_F(SumvalBinding, MissingLibraryIsACleanErrorAndALaterCallRetries) {
    const auto file = write("abc.bin", "abc");
    std::string error;
    std::uint32_t reg = 7;
    std::int16_t value = 7;
    std::int32_t code = 7;
    {
        LibraryEnv env((dir_ / "nowhere" / "libsumval.so").string());
        EXPECT_FALSE(sumval::fileChecksum(file, reg, error));
        EXPECT_NE(error.find("The checksum library libsumval.so could not be loaded: "),
                  std::string::npos)
            << error;
        EXPECT_NE(error.find("nowhere"), std::string::npos) << "the reason names the file";
        error.clear();
        EXPECT_FALSE(sumval::stringChecksum("QX5010", value, error));
        EXPECT_FALSE(error.empty());
        error.clear();
        EXPECT_FALSE(sumval::verifyMethodFile(file, 0, code, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(reg, 7u);
        EXPECT_EQ(value, 7);
        EXPECT_EQ(code, 7) << "outputs are untouched on failure";
    }
    LibraryEnv env;
    ASSERT_TRUE(sumval::fileChecksum(file, reg, error)) << error;
    EXPECT_EQ(reg, 0xF00A514Au);
}

TEST_F(SumvalBinding, SwitchingToAMissingLibraryIsNoticed) {
    const auto file = write("abc.bin", "abc");
    std::string error;
    std::uint32_t reg = 0;
    {
        LibraryEnv env;
        ASSERT_TRUE(sumval::fileChecksum(file, reg, error)) << error;
    }
    LibraryEnv env((dir_ / "gone.so").string());
    EXPECT_FALSE(sumval::fileChecksum(file, reg, error));
    EXPECT_NE(error.find("could not be loaded"), std::string::npos) << error;
}

TEST_F(SumvalBinding, LibraryWithoutTheFunctionIsACleanError) {
    LibraryEnv env(std::string{kPartial});
    std::string error;
    std::int16_t value = 0;
    EXPECT_FALSE(sumval::stringChecksum("abc", value, error));
    EXPECT_NE(error.find("has no function GetStringChecksum"), std::string::npos) << error;
    std::int32_t code = 0;
    EXPECT_FALSE(sumval::verifyMethodFile(dir_ / "USER0001.MTD", 0, code, error));
    EXPECT_NE(error.find("VerifyMethodFile"), std::string::npos) << error;
}

TEST_F(SumvalBinding, NulBytesAreRefusedRatherThanCutShort) {
    LibraryEnv env;
    // Cut at the NUL, this path would name a real, valid method.
    const auto valid = write("USER0001.MTD", method("MethType 32"));
    const std::filesystem::path tricked(valid.string() + std::string("\0.bak", 5));
    std::string error;
    std::int32_t code = -1;
    EXPECT_FALSE(sumval::verifyMethodFile(tricked, 0, code, error));
    EXPECT_EQ(code, -1);
    std::uint32_t reg = 1;
    EXPECT_FALSE(sumval::fileChecksum(tricked, reg, error));
    std::int16_t value = 0;
    EXPECT_FALSE(sumval::stringChecksum(std::string("QX\0"
                                                    "501",
                                                    6),
                                        value, error));
    EXPECT_NE(error.find("NUL"), std::string::npos) << error;
}

TEST_F(SumvalBinding, ConcurrentCallsDoNotShareTheReadBuffer) {
    LibraryEnv env;
    // Files of several blocks each with different contents: interleaved calls
    // through one static buffer would mix their bytes.
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 4; ++i) {
        std::string bytes(20000, static_cast<char>('a' + i));
        files.push_back(write("f" + std::to_string(i) + ".bin", sumval::sealed(bytes)));
    }
    std::vector<int> failures(files.size(), 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < files.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 40; ++round) {
                std::uint32_t reg = 1;
                std::string error;
                if (!sumval::fileChecksum(files[t], reg, error) || reg != 0) {
                    ++failures[t];
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (std::size_t t = 0; t < files.size(); ++t) {
        EXPECT_EQ(failures[t], 0) << "thread " << t;
    }
}

} // namespace
