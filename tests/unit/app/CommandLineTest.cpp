#include <gtest/gtest.h>

#include "StartFixture.h"
#include "app/CommandLine.h"

namespace {

struct TCommandCase {
    const char* Name;
    std::vector<std::string> Args;
    bool FullScreen;
    const char* SettingsPath;
    const char* StartPath;
};

class CommandLineTest : public ::testing::TestWithParam<TCommandCase> {};

TEST_P(CommandLineTest, Reads)
{
    const TCommandCase& row = GetParam();
    TStartTree tree;
    const TCommandLine line = ParseCommandLine(tree.Expand(row.Args), tree.Work(), tree.Data());
    EXPECT_EQ(line.FullScreen, row.FullScreen);
    EXPECT_EQ(line.SettingsPath, tree.Expand(row.SettingsPath));
    EXPECT_EQ(line.StartPath, tree.Expand(row.StartPath));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Switches, CommandLineTest,
    ::testing::Values(TCommandCase{"Nothing", {}, false, "{D}Mireva.ini", ""},
                      TCommandCase{"FullScreen", {"-f"}, true, "{D}Mireva.ini", ""},
                      TCommandCase{"FullScreenUpperCase", {"-F"}, true, "{D}Mireva.ini", ""},
                      TCommandCase{"SettingsFile", {"-s", "{W}alt.lys"}, false, "{W}alt.lys", ""},
                      TCommandCase{"SettingsSwitchUpperCaseRelativeIni", {"-S", "alt.ini"}, false, "{W}alt.ini", ""},
                      TCommandCase{"SettingsFileByNameInDataFolder", {"-s", "Named.lys"}, false, "{D}Named.lys", ""},
                      TCommandCase{"SettingsFileMadeAbsolute", {"-s", "./book/../alt.lys"}, false, "{W}alt.lys", ""},
                      TCommandCase{"SettingsSwitchOnAPictureOpensIt", {"-s", "pic.bmp"}, false, "{D}Mireva.ini",
                                   "{W}pic.bmp"},
                      TCommandCase{"SettingsSwitchOnATextFileOpensIt", {"-s", "notes.txt"}, false, "{D}Mireva.ini",
                                   "{W}notes.txt"},
                      TCommandCase{"MissingSettingsFileIsAPath", {"-s", "gone.lys"}, false, "{D}Mireva.ini",
                                   "{W}gone.lys"},
                      TCommandCase{"SettingsFolderIsAPath", {"-s", "conf.lys"}, false, "{D}Mireva.ini",
                                   "{W}conf.lys/"},
                      TCommandCase{"SwitchAtTheEnd", {"book", "-s"}, false, "{D}Mireva.ini", "{W}book/"},
                      TCommandCase{"SwitchTwiceStillNamesSettings", {"-s", "-s", "alt.lys"}, false, "{W}alt.lys", ""},
                      TCommandCase{"OtherSwitchClearsTheSettingsSwitch", {"-s", "-f", "alt.lys"}, true,
                                   "{D}Mireva.ini", "{W}alt.lys"},
                      TCommandCase{"EverythingInAnyOrder", {"book", "-F", "-s", "alt.ini"}, true, "{W}alt.ini",
                                   "{W}book/"},
                      TCommandCase{"EmptyArgumentIgnored", {"", "-s", "alt.lys"}, false, "{W}alt.lys", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Paths, CommandLineTest,
    ::testing::Values(TCommandCase{"Folder", {"book"}, false, "{D}Mireva.ini", "{W}book/"},
                      TCommandCase{"FolderWithTrailingSeparator", {"{W}book/"}, false, "{D}Mireva.ini", "{W}book/"},
                      TCommandCase{"Root", {"/"}, false, "{D}Mireva.ini", "/"},
                      TCommandCase{"MultibyteFolder", {"表ソ"}, false, "{D}Mireva.ini", "{W}表ソ/"},
                      TCommandCase{"File", {"pic.bmp"}, false, "{D}Mireva.ini", "{W}pic.bmp"},
                      TCommandCase{"DotSegments", {"./book/../pic.bmp"}, false, "{D}Mireva.ini", "{W}pic.bmp"},
                      TCommandCase{"FirstExistingPathWins", {"book", "pic.bmp"}, false, "{D}Mireva.ini", "{W}book/"},
                      TCommandCase{"MissingPathReplacesAnExistingOne", {"book", "outer.zip/p.jpg"}, false,
                                   "{D}Mireva.ini", "{W}outer.zip/p.jpg"},
                      TCommandCase{"ExistingPathDoesNotReplaceAMissingOne", {"gone.jpg", "book"}, false,
                                   "{D}Mireva.ini", "{W}gone.jpg"},
                      TCommandCase{"NestedArchiveKeepsItsMark", {"outer.zip/x/b.zip//c.cbz/p.jpg"}, false,
                                   "{D}Mireva.ini", "{W}outer.zip/x/b.zip//c.cbz/p.jpg"},
                      TCommandCase{"FileOfTheDataFolderByName", {"Named.lys"}, false, "{D}Mireva.ini",
                                   "{D}Named.lys"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TSettingsNameCase {
    const char* Name;
    bool Expected;
};

class SettingsFileNameTest : public ::testing::TestWithParam<TSettingsNameCase> {};

TEST_P(SettingsFileNameTest, OnlyIniAndLys)
{
    EXPECT_EQ(IsSettingsFileName(GetParam().Name), GetParam().Expected) << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsFileNameTest,
                         ::testing::Values(TSettingsNameCase{"/a/Mireva.ini", true}, TSettingsNameCase{"x.LYS", true},
                                           TSettingsNameCase{"x.Ini", true}, TSettingsNameCase{"x.jpg", false},
                                           TSettingsNameCase{"x.ini.jpg", false}, TSettingsNameCase{"ini", false},
                                           TSettingsNameCase{"/a.ini/x", false}, TSettingsNameCase{"x.lyss", false}));
