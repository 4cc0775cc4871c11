#include "link/PartFile.h"

#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {
std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
} // namespace

TEST(LinkPartFile, TargetChangesOnlyOnCommit) {
    TempDir dir;
    const auto target = dir.path() / "a.rpt";
    std::ofstream(target) << "old";
    {
        PartFile part(target);
        part.append("new ");
        part.append("content");
        EXPECT_EQ(readFile(target), "old");
        EXPECT_EQ(part.partPath().parent_path(), dir.path());
        EXPECT_TRUE(part.commit());
    }
    EXPECT_EQ(readFile(target), "new content");
    EXPECT_FALSE(std::filesystem::exists(PartFile::partPathFor(target)));
}

TEST(LinkPartFile, UncommittedPartIsRemoved) {
    TempDir dir;
    const auto target = dir.path() / "a.rpt";
    std::ofstream(target) << "old";
    {
        PartFile part(target);
        part.append("half");
        EXPECT_TRUE(std::filesystem::exists(part.partPath()));
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_FALSE(std::filesystem::exists(PartFile::partPathFor(target)));
}

TEST(LinkPartFile, FailuresAreKeptAndNothingIsReplaced) {
    TempDir dir;
    PartFile nowhere(dir.path() / "missing" / "a.rpt");
    EXPECT_TRUE(nowhere.failed());
    EXPECT_FALSE(nowhere.errorText().empty());
    nowhere.append("x"); // ignored, not a crash
    EXPECT_FALSE(nowhere.commit());

    // A target that is a non-empty folder cannot be replaced.
    const auto folder = dir.path() / "b.rpt";
    std::filesystem::create_directories(folder / "inside");
    {
        PartFile part(folder);
        part.append("x");
        EXPECT_FALSE(part.commit());
        EXPECT_TRUE(part.failed());
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder / "inside"));
    EXPECT_FALSE(std::filesystem::exists(PartFile::partPathFor(folder)));
}
