#include "core/AtomicFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
// Names in the folder other than the given ones: leftovers of a temporary file.
int strayFiles(const fs::path& dir, std::initializer_list<std::string> expected) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir))
        if (std::find(expected.begin(), expected.end(), e.path().filename().string()) ==
            expected.end())
            ++n;
    return n;
}
} // namespace

TEST(CoreAtomicFile, TargetChangesOnlyOnCommit) {
    TempDir dir;
    const auto target = dir.write("a.rpt", "old");
    ::chmod(target.c_str(), 0640);
    {
        AtomicFile file(target);
        file.append("new ");
        file.append(std::string("con\0tent", 8));
        EXPECT_EQ(dir.read("a.rpt"), "old");
        EXPECT_EQ(file.tempPath().parent_path(), dir.path());
        EXPECT_TRUE(isAtomicTempName(file.tempPath().filename().string()));
        EXPECT_TRUE(file.commit());
    }
    EXPECT_EQ(dir.read("a.rpt"), std::string("new con\0tent", 12));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(strayFiles(dir.path(), {"a.rpt"}), 0);
}

TEST(CoreAtomicFile, AbandonedWriteLeavesTheOldFile) {
    TempDir dir;
    dir.write("a.rpt", "old");
    {
        AtomicFile file(dir.path() / "a.rpt");
        file.append("half");
        EXPECT_TRUE(fs::exists(file.tempPath()));
    }
    EXPECT_EQ(dir.read("a.rpt"), "old");
    EXPECT_EQ(strayFiles(dir.path(), {"a.rpt"}), 0);
}

TEST(CoreAtomicFile, FailuresAreKeptAndNothingIsReplaced) {
    TempDir dir;
    AtomicFile nowhere(dir.path() / "missing" / "a.rpt");
    EXPECT_TRUE(nowhere.failed());
    EXPECT_FALSE(nowhere.errorText().empty());
    nowhere.append("x"); // ignored, not a crash
    EXPECT_FALSE(nowhere.commit());

    // A target that is a non-empty folder cannot be replaced.
    fs::create_directories(dir.path() / "b.rpt" / "inside");
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir.path() / "b.rpt", "x", &error));
    EXPECT_NE(error.find("b.rpt"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir.path() / "b.rpt" / "inside"));
    EXPECT_EQ(strayFiles(dir.path(), {"b.rpt"}), 0);
}

TEST(CoreAtomicFile, TwoWritersOfOneTargetNeverShareATemporaryFile) {
    TempDir dir;
    AtomicFile a(dir.path() / "x.csv"), b(dir.path() / "x.csv");
    EXPECT_NE(a.tempPath(), b.tempPath());
    a.append("a");
    b.append("b");
    EXPECT_TRUE(a.commit());
    EXPECT_TRUE(b.commit());
    EXPECT_EQ(dir.read("x.csv"), "b");
}
