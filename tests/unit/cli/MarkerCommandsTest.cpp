// mireva-cli's recent and markers subcommands over a data folder of the test's
// own: markers added for pictures of a folder and of an archive, listed back,
// and bad input refused without touching the file.

#include <gtest/gtest.h>

#include "RunCli.h"
#include "browser/Marker.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/TempFolder.h"

namespace {

class MarkerCli : public testing::Test {
protected:
    TCliRun Run(const std::string& arguments) { return RunCli(fFolder.Path(), arguments); }
    std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    // The fields of a listed line but its time.
    std::string WithoutTime(const std::string& line) { return line.substr(0, line.rfind('\t')); }

    TTempFolder fFolder;
};

TEST_F(MarkerCli, AddedMarkersListBackInTheViewersOrder)
{
    for (const char* name : {"b.jpg", "a.jpg", "c10.jpg", "c9.jpg", ".hidden.jpg", "note.txt"})
        fFolder.Write(std::string("book/") + name, "x");
    WriteZip(fFolder.File("comic.zip"), {{"vol/02.jpg", "x"}, {"vol/01.jpg", "x"}, {"cover.jpg", "x"}});

    ASSERT_EQ(Run("markers add book/c10.jpg").ExitCode, 0);
    const TCliRun twice = Run("markers add book/c10.jpg");
    EXPECT_EQ(twice.ExitCode, 0);
    EXPECT_NE(twice.Err.find("marked already"), std::string::npos);
    ASSERT_EQ(Run("markers add comic.zip/vol/02.jpg").ExitCode, 0);

    const TCliRun list = Run("markers list");
    ASSERT_EQ(list.ExitCode, 0) << list.Err;
    const std::vector<std::string> lines = Lines(list.Out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(WithoutTime(lines[0]), "\t" + fFolder.File("book/") + "\tc10.jpg\t3\t4");
    EXPECT_EQ(WithoutTime(lines[1]), fFolder.File("comic.zip") + "\t\tvol/02.jpg\t1\t2");
    EXPECT_TRUE(ParseListTime(lines[0].substr(lines[0].rfind('\t') + 1)).has_value());

    const TCliRun one = Run("markers list --folder comic.zip");
    EXPECT_EQ(Lines(one.Out).size(), 1u);
    EXPECT_EQ(Lines(Run("markers list --folder book").Out).size(), 1u);
}

TEST_F(MarkerCli, BadInputIsRefusedAndWritesNothing)
{
    fFolder.Write("book/a.jpg", "x");
    fFolder.Write("book/note.txt", "x");
    ASSERT_EQ(Run("markers add book/a.jpg").ExitCode, 0);
    const std::string before = fFolder.Read("home/Marker.lst");
    for (const char* arguments : {"markers add book/missing.jpg", "markers add book/note.txt", "markers add book",
                                  "markers add", "markers remove x", "markers list --folder nowhere", "recent show"}) {
        const TCliRun run = Run(arguments);
        EXPECT_NE(run.ExitCode, 0) << arguments;
        EXPECT_FALSE(run.Err.empty()) << arguments;
    }
    EXPECT_EQ(fFolder.Read("home/Marker.lst"), before);
    EXPECT_FALSE(FileExists(fFolder.File("home/Marker.bak")));
}

TEST_F(MarkerCli, RecentListShowsTheViewersFileUpToItsCount)
{
    fFolder.Write("home/Mireva.ini", "[RECENT]\nCount=2\n");
    fFolder.Write("home/Recent.lst", "\"\",\"/a/\",\"1.jpg\",\"0\",\"3\",\"2020/1/2 3:04:05\"\n"
                                     "\"/z.zip\",\"\",\"p\tq.jpg\",\"1\",\"3\",\"2020/01/02 03:04:05\"\n"
                                     "\"\",\"/c/\",\"3.jpg\",\"2\",\"3\",\"2020/01/02 03:04:05\"\n");
    const TCliRun run = Run("recent list");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "\t/a/\t1.jpg\t0\t3\t2020/01/02 03:04:05\n/z.zip\t\tp\\tq.jpg\t1\t3\t2020/01/02 03:04:05\n");
}

}  // namespace
