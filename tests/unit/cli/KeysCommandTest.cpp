// mireva-cli keys dump: every command of the key catalogue with its keys as
// the viewer reads them, one tab-separated line each, and no file touched.

#include <gtest/gtest.h>

#include <sstream>

#include "RunCli.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

struct TKeysCase {
    const char* Name;
    const char* Arguments;
    int ExitCode;
    const char* Line;  // a whole line the output holds; empty: no output at all
};

class KeysDumpTest : public ::testing::TestWithParam<TKeysCase> {};

TEST_P(KeysDumpTest, PrintsEveryCommandWithItsKeysAndWritesNothing)
{
    const TKeysCase& row = GetParam();
    TTempFolder folder;
    const std::string settings = "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n29=46,0,8238\n1=\n";
    folder.Write("mine.ini", settings);
    // An older version's key file beside the data folder's settings counts,
    // but a dump neither merges nor deletes it.
    const std::string oldKeys = "[INFO]\nVersion=261\n[MOVE KEY]\n6=78\n";
    folder.Write("home/KeyCstm.ini", oldKeys);

    const TCliRun run = RunCli(folder.Path(), row.Arguments);
    EXPECT_EQ(run.ExitCode, row.ExitCode) << run.Err;
    if (!*row.Line) {
        EXPECT_EQ(run.Out, "");
    } else {
        EXPECT_NE(("\n" + run.Out).find("\n" + std::string(row.Line) + "\n"), std::string::npos) << run.Out;
        // One line per command of the four groups, each GROUP, NUMBER, NAME
        // and KEYS.
        std::istringstream lines(run.Out);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count)
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
        EXPECT_EQ(count, 85 + 76 + 10 + 12);
    }
    EXPECT_EQ(folder.Read("mine.ini"), settings);
    EXPECT_EQ(folder.Read("home/KeyCstm.ini"), oldKeys);
    EXPECT_FALSE(FileExists(folder.File("home/Mireva.ini")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeysDumpTest,
    ::testing::Values(TKeysCase{"DefaultKey", "keys dump", 0, "GENERAL\t1\t開く\tCtrl+O"},
                      TKeysCase{"DefaultScrollKeys", "keys dump", 0, "SCROLL\t3\t大スクロール－左\tCtrl+PgDown"},
                      TKeysCase{"NoKey", "keys dump", 0, "SCROLL\t10\t原点の縦対称にスクロール\t"},
                      TKeysCase{"OldKeyFileCounts", "keys dump", 0, "MOVE\t6\t最後のファイル\tN"},
                      TKeysCase{"StoredKeys", "keys dump --file mine.ini", 0, "GENERAL\t29\t削除\tDel, Shift+Del"},
                      TKeysCase{"EmptyValueMeansNoKey", "keys dump --file mine.ini", 0, "GENERAL\t1\t開く\t"},
                      TKeysCase{"KeyFileOnlyBesideTheDataFolder", "keys dump --file mine.ini", 0,
                                "MOVE\t6\t最後のファイル\tEnd"},
                      TKeysCase{"MissingFile", "keys dump --file gone.ini", 1, ""},
                      TKeysCase{"UnknownAction", "keys list", 2, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
