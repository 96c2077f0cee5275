// mireva-cli settings dump: the options as the viewer reads them, and a clear
// failure instead of defaults when the file named cannot be read.

#include <gtest/gtest.h>

#include <unistd.h>

#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

struct TDumpCase {
    const char* Name;
    const char* Arguments;
    int ExitCode;
    const char* Line;  // a line the output holds; empty: no output at all
};

class SettingsDumpTest : public ::testing::TestWithParam<TDumpCase> {};

TEST_P(SettingsDumpTest, PrintsTheOptionsOrFails)
{
    const TDumpCase& row = GetParam();
    TTempFolder folder;
    folder.Write("small.ini", "[PICTURE]\nStretch=2\n");
    folder.Write("home/Mireva.ini", "");
    // Larger than any settings file is read: there, but unreadable.
    ASSERT_EQ(::truncate(folder.Write("huge.ini", "").c_str(), int64_t{65} << 20), 0);

    const TCliRun run = RunCli(folder.Path(), row.Arguments);
    EXPECT_EQ(run.ExitCode, row.ExitCode);
    if (*row.Line)
        EXPECT_NE(run.Out.find(std::string(row.Line) + "\n"), std::string::npos) << run.Out;
    else
        EXPECT_EQ(run.Out, "");
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsDumpTest,
                         ::testing::Values(TDumpCase{"DefaultFile", "settings dump", 0, "PICTURE.Stretch=4"},
                                           TDumpCase{"NamedFile", "settings dump --file small.ini", 0,
                                                     "PICTURE.Stretch=2"},
                                           TDumpCase{"MissingFile", "settings dump --file gone.ini", 1, ""},
                                           TDumpCase{"UnreadableFile", "settings dump --file huge.ini", 1, ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
