#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "common/AtomicSave.h"
#include "base/Errors.h"
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
