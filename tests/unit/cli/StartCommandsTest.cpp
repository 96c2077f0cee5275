#include <gtest/gtest.h>

#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

struct TResolveRunCase {
    const char* Name;
    const char* Arguments;  // "{T}" is the test folder
    int ExitCode;
    const char* Out;
};

class ResolveCommandTest : public ::testing::TestWithParam<TResolveRunCase> {};

std::string Expand(std::string text, const std::string& folder)
{
    for (size_t at = text.find("{T}"); at != std::string::npos; at = text.find("{T}"))
        text.replace(at, 3, folder);
    return text;
}

TEST_P(ResolveCommandTest, PrintsWhereThePathLeads)
{
    TTempFolder tree;
    tree.Write("book/01.bmp", "x");
    tree.Write("home/Mireva.ini", "");
    const TCliRun run = RunCli(tree.Path(), Expand(GetParam().Arguments, tree.Path()));
    EXPECT_EQ(run.ExitCode, GetParam().ExitCode);
    EXPECT_EQ(run.Out, Expand(GetParam().Out, tree.Path()));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Rows, ResolveCommandTest,
    ::testing::Values(
        TResolveRunCase{"Folder", "resolve book/", 0, "ArchivePath=\nFolder={T}book/\nFileName=\n"},
        TResolveRunCase{"File", "resolve '{T}book/01.bmp'", 0, "ArchivePath=\nFolder={T}book/\nFileName=01.bmp\n"},
        TResolveRunCase{"MultibyteMissingFile", "resolve 'book/第1巻/表.jpg'", 0,
                        "ArchivePath=\nFolder={T}book/\nFileName=\n"},
        TResolveRunCase{"SettingsFileOfTheDataFolder", "resolve Mireva.ini", 0,
                        "ArchivePath=\nFolder={T}home/\nFileName=Mireva.ini\n"},
        TResolveRunCase{"OptionInAnyPlace", "resolve book --archive-folder 0", 0,
                        "ArchivePath=\nFolder={T}book/\nFileName=\n"},
        TResolveRunCase{"BadOptionValue", "resolve --archive-folder 2 book", 2, ""},
        TResolveRunCase{"NoPath", "resolve", 2, ""}, TResolveRunCase{"EmptyPath", "resolve ''", 2, ""},
        TResolveRunCase{"TwoPaths", "resolve a b", 2, ""}),
    [](const auto& info) { return std::string(info.param.Name); });
