// mireva-cli resolve and the options every subcommand shares, run as a user
// runs them.

#include <gtest/gtest.h>

#include <unistd.h>

#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

struct TResolveRunCase {
    const char* Name;
    const char* Arguments;  // "{T}" is the test folder
    int ExitCode;
    const char* Out;
    const char* Settings = "";  // the data folder's "Mireva.ini"
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
    tree.Write("book.zip", "PK");
    tree.Write("home/Mireva.ini", GetParam().Settings);
    const TCliRun run = RunCli(tree.Path(), Expand(GetParam().Arguments, tree.Path()));
    EXPECT_EQ(run.ExitCode, GetParam().ExitCode) << run.Err;
    EXPECT_EQ(run.Out, Expand(GetParam().Out, tree.Path()));
}

TEST(ResolveCommand, RefusesSettingsItCannotRead)
{
    TTempFolder tree;
    // Larger than any settings file is read: there, but unreadable.
    ASSERT_EQ(::truncate(tree.Write("home/Mireva.ini", "").c_str(), int64_t{65} << 20), 0);
    const TCliRun run = RunCli(tree.Path(), "resolve .");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("Mireva.ini"), std::string::npos) << run.Err;
}

struct THomeCase {
    const char* Name;
    const char* Arguments;
    int ExitCode;
};

class HomeOptionTest : public ::testing::TestWithParam<THomeCase> {};

// A data folder named wrongly must never fall back to the user's own.
TEST_P(HomeOptionTest, NeedsAFolder)
{
    TTempFolder tree;
    const TCliRun run = RunProgram(tree.Path(), "'" MIREVA_BIN_DIR "/mireva-cli' " + std::string(GetParam().Arguments));
    EXPECT_EQ(run.ExitCode, GetParam().ExitCode) << run.Err;
    if (GetParam().ExitCode == 2) {
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(run.Err.rfind("mireva-cli: --home needs a folder\nusage: ", 0), 0u) << run.Err;
    }
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
        TResolveRunCase{"ArchiveFolderByDefault", "resolve book.zip/p/01.jpg", 0,
                        "ArchivePath={T}book.zip\nFolder=p/\nFileName=p/01.jpg\n"},
        TResolveRunCase{"ArchiveFolderOffInTheSettings", "resolve book.zip/p/01.jpg", 0,
                        "ArchivePath={T}book.zip\nFolder=\nFileName=p/01.jpg\n", "[ARCHIVE]\nFolder=0\n"},
        TResolveRunCase{"OptionOverridesTheSettings", "resolve --archive-folder 1 book.zip/p/01.jpg", 0,
                        "ArchivePath={T}book.zip\nFolder=p/\nFileName=p/01.jpg\n", "[ARCHIVE]\nFolder=0\n"},
        TResolveRunCase{"ArchivePluginTurnedOff", "resolve book.zip/p/01.jpg", 0,
                        "ArchivePath=\nFolder={T}\nFileName=book.zip\n", "[PLUGIN_USE_AM]\nmvarchive.spi=0\n"},
        TResolveRunCase{"BadOptionValue", "resolve --archive-folder 2 book", 2, ""},
        TResolveRunCase{"NoPath", "resolve", 2, ""}, TResolveRunCase{"EmptyPath", "resolve ''", 2, ""},
        TResolveRunCase{"TwoPaths", "resolve a b", 2, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(Rows, HomeOptionTest,
                         ::testing::Values(THomeCase{"Missing", "--home", 2}, THomeCase{"Empty", "--home '' version", 2},
                                           THomeCase{"EmptyAfterEquals", "--home= version", 2},
                                           THomeCase{"SubcommandInItsPlace", "--home version", 2},
                                           THomeCase{"Given", "--home=data version", 0}),
                         [](const auto& info) { return std::string(info.param.Name); });
