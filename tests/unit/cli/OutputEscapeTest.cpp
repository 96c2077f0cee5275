// Every line mireva-cli prints stays one line whatever the names hold: tabs,
// line breaks and escape sequences in file names, shelf names and settings
// come out escaped, also in messages.

#include <gtest/gtest.h>

#include <algorithm>

#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

struct TOutputCase {
    const char* Name;
    const char* Before;  // run first when not empty
    const char* Arguments;
    const char* Out;     // "{T}" is the test folder
    const char* ErrHas;  // a part of the message when not empty
};

class OutputEscapeTest : public ::testing::TestWithParam<TOutputCase> {};

TEST_P(OutputEscapeTest, KeepsEveryNameOnItsLine)
{
    const TOutputCase& row = GetParam();
    TTempFolder tree;
    for (const char* name : {"a\tb.jpg", "c\nFORGED.jpg", "e\x1b[2J.jpg"})
        tree.Write(std::string("dir/") + name, "");
    tree.Write("home/Mireva.ini", "[INITIALIZE]\nInitPath=/x\x1b[31m\n");
    if (*row.Before) {
        ASSERT_EQ(RunCli(tree.Path(), row.Before).ExitCode, 0);
    }
    const TCliRun run = RunCli(tree.Path(), row.Arguments);
    std::string out = row.Out;
    for (size_t at = out.find("{T}"); at != std::string::npos; at = out.find("{T}"))
        out.replace(at, 3, tree.Path());
    if (*row.ErrHas) {
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_NE(run.Err.find(row.ErrHas), std::string::npos) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
    } else {
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
    }
    if (*row.Out) {
        EXPECT_NE(run.Out.find(out), std::string::npos) << run.Out;
    }
    EXPECT_EQ(run.Out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.Err.find('\x1b'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OutputEscapeTest,
    ::testing::Values(
        TOutputCase{"Ls", "", "ls dir", "a\\tb.jpg\nc\\nFORGED.jpg\ne\\x1b[2J.jpg\n", ""},
        TOutputCase{"Resolve", "", "resolve 'dir/c\nFORGED.jpg'", "Folder={T}dir/\nFileName=c\\nFORGED.jpg\n", ""},
        TOutputCase{"ShelfList", "shelf add 'S\x1b[2J' dir", "shelf list", "S\\x1b[2J\t1\t\n", ""},
        TOutputCase{"SettingsDump", "", "settings dump", "\nINITIALIZE.InitPath=/x\\x1b[31m\n", ""},
        TOutputCase{"Message", "", "load 'dir/g\x1b[2J\n.jpg' out.bmp", "", "g\\x1b[2J\\n.jpg"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
