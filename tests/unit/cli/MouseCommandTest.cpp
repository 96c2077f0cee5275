// mireva-cli mouse dump: the bindings the viewer would use, one per line,
// and never a change to the files it looks at.

#include <gtest/gtest.h>

#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

struct TMouseDumpCase {
    const char* Name;
    const char* Arguments;
    int ExitCode;
    std::vector<const char*> Lines;    // lines the output holds
    std::vector<const char*> Missing;  // lines it must not hold
};

class MouseDumpTest : public ::testing::TestWithParam<TMouseDumpCase> {};

TEST_P(MouseDumpTest, PrintsTheBindingsInUse)
{
    const TMouseDumpCase& row = GetParam();
    TTempFolder folder;
    folder.Write("home/Mireva.ini",
                 "[MOUSECUSTOMINFO]\nVersion=261\n[MOUSECOMMAND]\n17=39\n[LISTTARGET]\n9=1\n[LISTCOMMAND]\n9=0, 66\n");
    const std::string old = folder.Write("home/MusCstm.ini", "[INFO]\nVersion=261\n[COMMAND]\n1=44\n");
    folder.Write("other.ini", "[MOUSECOMMAND]\n1=44\nRightPopup=0\n17=39\n");

    const TCliRun run = RunCli(folder.Path(), row.Arguments);
    EXPECT_EQ(run.ExitCode, row.ExitCode) << run.Err;
    for (const char* line : row.Lines)
        EXPECT_NE(run.Out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << run.Out;
    for (const char* line : row.Missing)
        EXPECT_EQ(run.Out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << run.Out;
    // Looking never takes the old file over.
    EXPECT_EQ(folder.Read("home/MusCstm.ini"), "[INFO]\nVersion=261\n[COMMAND]\n1=44\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MouseDumpTest,
    ::testing::Values(
        TMouseDumpCase{"FileInUse",
                       "mouse dump",
                       0,
                       {"image.左クリック\t44\tジャンプ\tall", "image.ホイール上回転＋Ctrl\t42\tひとつ前のファイル\tall",
                        "image.ドラッグ\t1\tスクロール\tall", "list.ホイールクリック\t66\tShift+Ctrl+選択\tfolder",
                        "list.左ダブルクリック\t1\t開く\tall"},
                       {"image.右クリック\t39\t次のファイル\tall"}},
        // Without the layout version the stored commands give way to the
        // defaults, and the right click shows the menu.
        TMouseDumpCase{"OlderLayout",
                       "mouse dump --file other.ini",
                       0,
                       {"image.ホイール下回転\t39\t次のファイル\tall"},
                       {"image.左クリック\t44\tジャンプ\tall", "image.右クリック\t39\t次のファイル\tall"}},
        TMouseDumpCase{"MissingFile", "mouse dump --file none.ini", 1, {}, {}},
        TMouseDumpCase{"UnknownAction", "mouse show", 2, {}, {}}),
    [](const ::testing::TestParamInfo<TMouseDumpCase>& info) { return std::string(info.param.Name); });

}  // namespace
