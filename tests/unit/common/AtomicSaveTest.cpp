#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/AtomicSave.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

TEST(AtomicSave, ReplacesOldFileOnlyOnCommit)
{
    TTempFolder temp;
    temp.Write("list.lst", "old");
    {
        TAtomicFile file(temp.File("list.lst"));
        file.Stream().WriteBuffer("new content", 11);
        EXPECT_EQ(temp.Read("list.lst"), "old");
        EXPECT_TRUE(FileExists(temp.File("list.lst$$")));
        // Destroyed without Commit: the old file stays and "$$" goes.
    }
    EXPECT_EQ(temp.Read("list.lst"), "old");
    EXPECT_FALSE(PathExists(temp.File("list.lst$$")));
    SaveFileAtomically(temp.File("list.lst"), "new content");
    EXPECT_EQ(temp.Read("list.lst"), "new content");
    EXPECT_FALSE(PathExists(temp.File("list.lst$$")));
}

TEST(AtomicSave, AStaleLinkNamedLikeTheTemporaryIsNotFollowed)
{
    TTempFolder temp;
    temp.Write("victim", "precious");
    ASSERT_EQ(::symlink(temp.File("victim").c_str(), temp.File("a.ini$$").c_str()), 0);
    SaveFileAtomically(temp.File("a.ini"), "settings");
    EXPECT_EQ(temp.Read("victim"), "precious");
    EXPECT_EQ(temp.Read("a.ini"), "settings");
}

TEST(AtomicSave, FailureKeepsOldFile)
{
    TTempFolder temp;
    temp.Write("ro/keep.ini", "old");
    ASSERT_EQ(::chmod(temp.File("ro").c_str(), 0555), 0);
    if (::geteuid() != 0) {
        EXPECT_THROW(SaveFileAtomically(temp.File("ro/keep.ini"), "new"), EFileError);
        EXPECT_EQ(temp.Read("ro/keep.ini"), "old");
    }
    ::chmod(temp.File("ro").c_str(), 0755);
    // A folder where the file should be: the rename fails and nothing is lost.
    ForceDirectories(temp.File("dir.ini"));
    EXPECT_THROW(SaveFileAtomically(temp.File("dir.ini"), "new"), EFileError);
    EXPECT_TRUE(DirectoryExists(temp.File("dir.ini")));
    EXPECT_FALSE(PathExists(temp.File("dir.ini$$")));
}

TEST(AtomicSave, WritesThroughALinkToItsTarget)
{
    TTempFolder temp;
    temp.Write("real.ini", "old");
    ASSERT_EQ(::symlink(temp.File("real.ini").c_str(), temp.File("link.ini").c_str()), 0);
    SaveFileAtomically(temp.File("link.ini"), "new");
    EXPECT_TRUE(QueryFile(temp.File("link.ini"), false).IsLink);
    EXPECT_EQ(temp.Read("real.ini"), "new");
}

namespace {

// The "$$" name means nothing to the user: messages name the file they asked
// for, whether the temporary cannot be made or a write to it fails.
TEST(AtomicSave, MessagesNameTheFileNotItsTemporary)
{
    TTempFolder temp;
    temp.Write("keep.ini", "old");
    const auto failure = [&] {
        try {
            SaveFileAtomically(temp.File("keep.ini"), std::string(4096, 'x'), temp.File("keep.bak"));
        } catch (const EFileError& e) {
            return std::string(e.what());
        }
        return std::string("no failure");
    };
    ForceDirectories(temp.File("keep.ini$$"));
    const std::string notCreated = failure();
    RemoveTree(temp.File("keep.ini$$"));
    // A file size limit makes the write itself fail, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlim_t old = limit.rlim_cur;
    limit.rlim_cur = 16;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string notWritten = failure();
    limit.rlim_cur = old;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    for (const std::string& message : {notCreated, notWritten}) {
        EXPECT_NE(message.find("'" + temp.File("keep.ini") + "'"), std::string::npos) << message;
        EXPECT_EQ(message.find("$$"), std::string::npos) << message;
    }
    EXPECT_EQ(temp.Read("keep.ini"), "old");
    EXPECT_FALSE(PathExists(temp.File("keep.ini$$")));
}

// A save killed after it made its backup leaves the backup as a second name
// of the file; the next backup of that same file leaves no "$$" behind.
TEST(AtomicSave, BackupOfAFileItAlreadyNamesLeavesNothingBehind)
{
    TTempFolder temp;
    temp.Write("list.lst", "old");
    KeepCopy(temp.File("list.lst"), temp.File("list.bak"));
    KeepCopy(temp.File("list.lst"), temp.File("list.bak"));
    EXPECT_EQ(temp.Read("list.bak"), "old");
    EXPECT_FALSE(PathExists(temp.File("list.bak$$")));
}

TEST(AtomicSave, BackupIsACopyWhereNoSecondNameCanBeMade)
{
    TTempFolder temp;
    temp.Write("list.lst", "old");
    // A backup on another file system cannot share the file's data.
    const std::string backup = "/dev/shm/" + ExtractFileName(ExcludeTrailingPathDelimiter(temp.Path())) + ".bak";
    struct stat a {}, b {};
    if (::stat(temp.Path().c_str(), &a) != 0 || ::stat("/dev/shm", &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "/dev/shm is on the same file system as the test folder";
    SaveFileAtomically(temp.File("list.lst"), "new", backup);
    EXPECT_EQ(temp.Read("list.lst"), "new");
    EXPECT_EQ(ReadWholeFile(backup), "old");
    DeleteFile(backup);
    EXPECT_FALSE(PathExists(backup + "$$"));
}

}  // namespace
