#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "base/QueueDispatcher.h"
#include "common/CsvFields.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "collections/Search.h"
#include "export/FExport.h"
#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

struct TQuoteRow {
    std::vector<std::string> Fields;
    const char* Line;
};

class CsvLine : public testing::TestWithParam<TQuoteRow> {};

TEST_P(CsvLine, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(JoinCsvFields(GetParam().Fields), GetParam().Line);
    EXPECT_EQ(SplitCsvFields(GetParam().Line), GetParam().Fields);
}

INSTANTIATE_TEST_SUITE_P(Rows, CsvLine, testing::Values(
    TQuoteRow{{"a, b.jpg", "x"}, "\"a, b.jpg\",x"},
    TQuoteRow{{"say \"hi\"", ""}, "\"say \"\"hi\"\"\","},
    TQuoteRow{{"tab\there", "日本語"}, "\"tab\there\",日本語"},
    TQuoteRow{{""}, "\"\""},
    TQuoteRow{{"", "", "z"}, ",,z"}));

TEST(ExportFormats, TimesSerialsAndRelativePaths)
{
    EXPECT_EQ(FormatExportTime(0), "1899/12/30  00:00:00");
    EXPECT_EQ(FormatExportTime(EncodeDateTime({2004, 3, 5, 7, 8, 9, 600})), "2004/03/05  07:08:09");
    EXPECT_EQ(FormatExportSerial(0x1234ABCD), "1234-ABCD");
    EXPECT_EQ(FormatExportSerial(0xA), "0000-000A");
    EXPECT_EQ(RelativeExportPath("/Photos", "/Photos"), "./");
    EXPECT_EQ(RelativeExportPath("/Photos/", "/Photos/2001"), "./2001");
    EXPECT_EQ(RelativeExportPath("/", "/etc"), "./etc");
    // A base holds its own components only, never a sibling sharing its start.
    EXPECT_EQ(RelativeExportPath("/Photos", "/Photos2001"), "/Photos2001");
    EXPECT_EQ(RelativeExportPath("", "/x"), "/x");
}

TCliRun Cli(const TTempFolder& home, const std::string& args)
{
    return RunCli(home.Path(), args);
}

TEST(FileExport, FolderTreeWithoutFolderLinesNorLoops)
{
    TTempFolder t;
    t.Write("p/b.jpg", "12345");
    t.Write("p/sub/a, b.jpg", "1");
    t.Write("p/sub/deep/c.png", "");
    ASSERT_EQ(symlink("..", t.File("p/sub/up").c_str()), 0);
    const TCliRun run = Cli(t, "export --columns 0,2,5 --option Header,NoFolder,SubFolder,SizeKB '" + t.File("p") +
                                   "' '" + t.File("out.csv") + "'");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(t.Read("out.csv"), "名前,パス（相対パス）,サイズ（KB）\r\n"
                                 "c.png,./sub/deep,\"0 KB\"\r\n"
                                 "\"a, b.jpg\",./sub,\"1 KB\"\r\n"
                                 "b.jpg,./,\"1 KB\"\r\n");
}

TEST(FileExport, ShelfAndMediumWithChosenColumns)
{
    TTempFolder t;
    t.Write("disc/x.jpg", "abc");
    t.Write("disc/d/y.jpg", "z");
    ASSERT_EQ(Cli(t, "shelf add Books '" + t.File("disc/x.jpg") + "' '" + t.File("disc/d") + "'").ExitCode, 0);
    ASSERT_EQ(Cli(t, "media add '" + t.File("disc") + "' --name Disc1 --serial 1234ABCD").ExitCode, 0);

    ASSERT_EQ(Cli(t, "export --columns 8,0,1,5 --option SubFolder 'shelf:books' '" + t.File("s.csv") + "'").ExitCode, 0);
    const std::string disc = t.File("disc");
    EXPECT_EQ(t.Read("s.csv"), "Books,x.jpg," + disc + ",3\r\nBooks,d," + disc + ",\r\nBooks,y.jpg," + disc +
                                   "/d,1\r\n");

    ASSERT_EQ(Cli(t, "export --columns 9,0,1,2,5 --option SubFolder media:Disc1 '" + t.File("m.csv") + "'").ExitCode, 0);
    EXPECT_EQ(t.Read("m.csv"), "Disc1,d,/,./,\r\nDisc1,y.jpg,/d,./d,1\r\nDisc1,x.jpg,/,./,3\r\n");

    ASSERT_EQ(Cli(t, "export --columns 0,12 --option Header media '" + t.File("l.csv") + "'").ExitCode, 0);
    EXPECT_EQ(t.Read("l.csv"), "名前,シリアル\r\nDisc1,1234-ABCD\r\n");
}

TEST(FileExport, SearchResultsNameTheirShelf)
{
    TTempFolder t;
    t.Write("f/one.jpg", "1");
    TQueueDispatcher dispatcher;
    TSearchFolder search(dispatcher, nullptr);
    TSearchBatch batch;
    batch.Kind = TSearchTargetKind::tkShelf;
    batch.TargetName = "Books";
    batch.TargetIndex = 0;
    batch.DirPath = t.File("f");
    batch.DirListed = true;
    TGroupFileInfo record;
    record.Path = t.File("f/one.jpg");
    batch.Records.push_back(record);
    search.AddResults(batch);
    ASSERT_EQ(search.Count(), 1);

    TExportSettings settings;
    settings.Columns = {0, 1, 2, 8, 9, 17};
    settings.Rules = {*ParseNameDivideInfo("No,0,.,,0,1")};
    settings.Options.Header = false;
    settings.Options.NameDivide = true;
    TFileExport exporter(settings, t.File("r.csv"), nullptr);
    exporter.WriteSearchResults(search, {search.ItemInfo(0)});
    exporter.Commit();
    const std::string folder = batch.DirPath;
    EXPECT_EQ(t.Read("r.csv"), "jpg," + folder + "," + folder + ",Books,,one\r\n");
}

TEST(FileExport, EmptyListHeaderAloneAndCp932)
{
    TTempFolder t;
    TExportSettings settings;
    settings.Columns = {0, 4};
    settings.Encoding = TExportEncoding::eeCp932;
    TFileExport exporter(settings, t.File("e.csv"), nullptr);
    exporter.Commit();
    EXPECT_EQ(t.Read("e.csv"), EncodeCp932("名前,種類\r\n"));
}

TEST(FileExport, AFailedWriteLeavesTheOldFileAndNoPartOne)
{
    TTempFolder t;
    t.Write("p/a.jpg", "1");
    // The file cannot be made in a folder that does not exist: reported.
    const TCliRun missing = Cli(t, "export '" + t.File("p") + "' '" + t.File("none/x.csv") + "'");
    EXPECT_NE(missing.ExitCode, 0);
    EXPECT_FALSE(access(t.File("none").c_str(), F_OK) == 0);
    // A file that cannot be renamed into place (its name is a folder's) keeps
    // the folder and leaves no "$$" behind.
    t.Write("out/taken.csv/inside", "");
    EXPECT_NE(Cli(t, "export '" + t.File("p") + "' '" + t.File("out/taken.csv") + "'").ExitCode, 0);
    EXPECT_EQ(access(t.File("out/taken.csv$$").c_str(), F_OK), -1);
}

}  // namespace
