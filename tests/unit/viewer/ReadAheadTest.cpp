#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "support/TempFolder.h"
#include "viewer/ReadAhead.h"

namespace {

TEST(ReadAhead, ReadsAFileThatFits)
{
    TTempFolder folder;
    const std::string path = folder.Write("a.jpg", std::string(1000, 'x') + "end");
    TMemoryStream out;
    ASSERT_EQ(ReadFileAhead(path, 1003, out), TReadResult::rrRead);
    EXPECT_EQ(out.Size(), 1003);
    EXPECT_EQ(out.Position(), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Memory()) + 1000, 3), "end");
}

TEST(ReadAhead, RefusesAFileOneByteTooLargeWithoutReadingIt)
{
    TTempFolder folder;
    const std::string path = folder.Write("a.jpg", std::string(1004, 'x'));
    TMemoryStream out;
    out.WriteBuffer("old", 3);
    EXPECT_EQ(ReadFileAhead(path, 1003, out), TReadResult::rrTooLarge);
    EXPECT_EQ(out.Size(), 0);
}

TEST(ReadAhead, MissingFilesFoldersAndPipesFail)
{
    TTempFolder folder;
    TMemoryStream out;
    EXPECT_EQ(ReadFileAhead(folder.File("none.jpg"), 1 << 20, out), TReadResult::rrFailed);
    EXPECT_EQ(ReadFileAhead(folder.Path(), 1 << 20, out), TReadResult::rrFailed);
    // Opening a pipe for reading would wait for a writer for ever.
    const std::string pipe = folder.File("pipe.jpg");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ReadFileAhead(pipe, 1 << 20, out), TReadResult::rrFailed);
    EXPECT_EQ(out.Size(), 0);
}

TEST(ReadAhead, EmptyFileReadsEmpty)
{
    TTempFolder folder;
    const std::string path = folder.Write("empty.jpg", "");
    TMemoryStream out;
    EXPECT_EQ(ReadFileAhead(path, 10, out), TReadResult::rrRead);
    EXPECT_EQ(out.Size(), 0);
}

}  // namespace
