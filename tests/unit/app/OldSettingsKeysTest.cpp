#include <gtest/gtest.h>

#include <sstream>

#include "app/Init.h"
#include "app/OldSettingsKeys.h"
#include "app/OptionsDump.h"
#include "common/IniFile.h"
#include "support/TempFolder.h"

namespace {

struct TConversionCase {
    const char* Name;
    const char* File;
    // "SECTION.Key=value" lines the loaded options must show.
    std::vector<std::string> Options;
    // "SECTION.Key" entries that must be gone from the file on disk.
    std::vector<std::string> Removed;
    // "SECTION.Key=value" entries the file on disk must hold afterwards.
    std::vector<std::string> OnDisk;
};

void PrintTo(const TConversionCase& c, std::ostream* os) { *os << c.Name; }


std::pair<std::string, std::string> SplitName(const std::string& name)
{
    const size_t dot = name.find('.');
    return {name.substr(0, dot), name.substr(dot + 1)};
}

class OldKeyConversionTest : public ::testing::TestWithParam<TConversionCase> {};

TEST_P(OldKeyConversionTest, ConvertsInTheFileAndInTheOptions)
{
    const TConversionCase& c = GetParam();
    TTempFolder temp;
    const std::string path = temp.Write("Mireva.ini", c.File);
    TIniFile ini(path);
    TOptions options;
    const TLoadOptionsResult result = LoadOptions(ini, options, {});
    EXPECT_TRUE(result.Converted);
    EXPECT_TRUE(result.Written);

    const std::string dump = DumpOptions(options, nullptr);
    for (const std::string& line : c.Options)
        EXPECT_NE(dump.find("\n" + line + "\n"), std::string::npos) << line;

    const TIniFile disk(path);
    for (const std::string& name : c.Removed) {
        const auto [section, key] = SplitName(name);
        EXPECT_FALSE(disk.ValueExists(section, key)) << name;
    }
    for (const std::string& entry : c.OnDisk) {
        const size_t eq = entry.find('=');
        const auto [section, key] = SplitName(entry.substr(0, eq));
        EXPECT_EQ(disk.ReadString(section, key, "<absent>"), entry.substr(eq + 1)) << entry;
    }

    // Converted once, the file holds nothing old any more: loading it again
    // neither converts nor changes a value.
    TIniFile again(path);
    TOptions reloaded;
    EXPECT_FALSE(LoadOptions(again, reloaded, {}).Converted);
    EXPECT_EQ(reloaded, options);
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, OldKeyConversionTest,
    ::testing::Values(
        TConversionCase{"CommandScalingRatio",
                        "[COMMAND]\nScalingRatio=40\nOther=1\n",
                        {"PICTURE.ScalingRatio=40"},
                        {"COMMAND.ScalingRatio"},
                        {"PICTURE.ScalingRatio=40", "COMMAND.Other=1"}},
        TConversionCase{"PageWindowSize",
                        "[SCROLL]\nPageWindowSize=0\n",
                        {"SCROLL.PageScrollByRatio=0"},
                        {"SCROLL.PageWindowSize"},
                        {"SCROLL.PageScrollByRatio=0"}},
        TConversionCase{"PageScrollKindOne",
                        "[SCROLL]\nPageScrollKind=1\n",
                        {"SCROLL.PageScrollByRatio=1", "SCROLL.PageScrollRatio=50"},
                        {"SCROLL.PageScrollKind"},
                        {"SCROLL.PageScrollByRatio=1", "SCROLL.PageScrollRatio=50"}},
        TConversionCase{"PageScrollKindTwo",
                        "[SCROLL]\nPageScrollKind=2\nPageScrollRatio=80\n",
                        {"SCROLL.PageScrollByRatio=0", "SCROLL.PageScrollRatio=80"},
                        {"SCROLL.PageScrollKind"},
                        {"SCROLL.PageScrollByRatio=0"}},
        TConversionCase{"PageScrollKindOtherDoesNothing",
                        "[SCROLL]\nPageScrollKind=3\n",
                        {"SCROLL.PageScrollByRatio=1", "SCROLL.PageScrollRatio=100"},
                        {"SCROLL.PageScrollKind", "SCROLL.PageScrollByRatio"},
                        {}},
        TConversionCase{"PageScrollKindBesidePageWindowSize",
                        "[SCROLL]\nPageWindowSize=1\nPageScrollKind=2\n",
                        {"SCROLL.PageScrollByRatio=1"},
                        {"SCROLL.PageScrollKind", "SCROLL.PageWindowSize"},
                        {"SCROLL.PageScrollByRatio=1"}},
        TConversionCase{"RenamedScrollKeys",
                        "[SCROLL]\nPageQuantity=123\nLineQuantity=7\nPageMove=0\nLineMove=1\nOverlap=33\n",
                        {"SCROLL.PageScrollQuantity=123", "SCROLL.LineScrollQuantity=7", "SCROLL.PageScrollMove=0",
                         "SCROLL.LineScrollMove=1", "SCROLL.PageScrollOverLap=33"},
                        {"SCROLL.PageQuantity", "SCROLL.LineQuantity", "SCROLL.PageMove", "SCROLL.LineMove",
                         "SCROLL.Overlap"},
                        {"SCROLL.PageScrollQuantity=123", "SCROLL.PageScrollOverLap=33"}},
        TConversionCase{"RenamedOutOfRangeStillFallsBack",
                        "[SCROLL]\nPageQuantity=5000\n",
                        {"SCROLL.PageScrollQuantity=300"},
                        {"SCROLL.PageQuantity"},
                        {"SCROLL.PageScrollQuantity=5000"}},
        TConversionCase{"OppositeZero",
                        "[SCROLL]\nOpposite=0\n",
                        {"SCROLL.PageScrollOpposite=0"},
                        {"SCROLL.Opposite"},
                        {"SCROLL.PageScrollOpposite=0"}},
        TConversionCase{"OppositeOneKeepsTheCurrentValue",
                        "[SCROLL]\nOpposite=1\nPageScrollOpposite=0\n",
                        {"SCROLL.PageScrollOpposite=0"},
                        {"SCROLL.Opposite"},
                        {"SCROLL.PageScrollOpposite=0"}},
        TConversionCase{"SpreadMoves",
                        "[SCROLL]\nPageScrollMoveSpreadV=0\nPageScrollMoveSpreadH=1\nLineScrollMoveSpreadV=1\n"
                        "LineScrollMoveSpreadH=0\n",
                        {"SCROLL.PageScrollMoveCommand=1", "SCROLL.LineScrollMoveCommand=0"},
                        {"SCROLL.PageScrollMoveSpreadV", "SCROLL.PageScrollMoveSpreadH", "SCROLL.LineScrollMoveSpreadV",
                         "SCROLL.LineScrollMoveSpreadH"},
                        {"SCROLL.PageScrollMoveCommand=1"}},
        TConversionCase{"LineSpreadMoveAlone",
                        "[SCROLL]\nLineScrollMoveSpreadV=0\n",
                        {"SCROLL.LineScrollMoveCommand=1", "SCROLL.PageScrollMoveCommand=0"},
                        {"SCROLL.LineScrollMoveSpreadV"},
                        {"SCROLL.LineScrollMoveCommand=1"}},
        TConversionCase{"VerticalKeysWithDefaultsForAbsentOnes",
                        "[SCROLL]\nPageScrollMoveCommandV=2\nPageScrollOverLapV=70\nLineScrollMoveV=1\n"
                        "PageScrollOpposite=0\nLineScrollOverLap=9\n",
                        {"SCROLL.PageScrollMove=1", "SCROLL.PageScrollMoveCommand=2", "SCROLL.PageScrollOpposite=1",
                         "SCROLL.PageScrollOverLap=70", "SCROLL.LineScrollMove=1", "SCROLL.LineScrollMoveCommand=0",
                         "SCROLL.LineScrollOpposite=0", "SCROLL.LineScrollOverLap=0"},
                        {"SCROLL.PageScrollMoveCommandV", "SCROLL.PageScrollOverLapV", "SCROLL.LineScrollMoveV"},
                        {"SCROLL.PageScrollMoveCommand=2", "SCROLL.PageScrollOpposite=1", "SCROLL.LineScrollOverLap=0"}},
        TConversionCase{"VerticalKeysBesideSpreadMovesAreDropped",
                        "[SCROLL]\nPageScrollMoveSpreadV=1\nPageScrollMoveCommandV=3\nPageScrollOverLapV=70\n",
                        {"SCROLL.PageScrollMoveCommand=0", "SCROLL.PageScrollOverLap=50"},
                        {"SCROLL.PageScrollMoveSpreadV", "SCROLL.PageScrollMoveCommandV", "SCROLL.PageScrollOverLapV"},
                        {"SCROLL.PageScrollMoveCommand=<absent>"}},
        TConversionCase{"LoupeDisableShowBar",
                        "[LOUPE]\nDisableShowBar=1\n",
                        {"FULLSCREEN.DisableShowBar=1"},
                        {"LOUPE.DisableShowBar"},
                        {"FULLSCREEN.DisableShowBar=1"}},
        TConversionCase{"LoupeRatio",
                        "[LOUPE]\nRatio=2\n",
                        {"LOUPE.Scale=5"},
                        {"LOUPE.Ratio"},
                        {"LOUPE.Scale=5"}},
        TConversionCase{"LoupeRatioWithoutCase",
                        "[loupe]\nratio=0\n",
                        {"LOUPE.Scale=3"},
                        {"LOUPE.Ratio"},
                        {"LOUPE.Scale=3"}},
        TConversionCase{"PictureMoveKeys",
                        "[PICTURE]\nMoveByRatio=0\nMoveRatio=0\nMoveCount=30\nLastFileMove=3\nLastToSubFolder=0\n"
                        "Cache=1\nOffset=8\n",
                        {"MOVE.MoveByRatio=0", "MOVE.MoveRatio=10", "MOVE.MoveCount=30", "MOVE.LastFileMove=3",
                         "MOVE.LastToSubFolder=0", "PICTURE.Offset=8"},
                        {"PICTURE.MoveByRatio", "PICTURE.MoveRatio", "PICTURE.MoveCount", "PICTURE.LastFileMove",
                         "PICTURE.LastToSubFolder", "PICTURE.Cache"},
                        {"MOVE.MoveRatio=10", "MOVE.MoveCount=30", "PICTURE.Offset=8"}},
        TConversionCase{"ThumbnailSize",
                        "[THUMBNAIL]\nSize=120\n",
                        {"THUMBNAIL.Width=120", "THUMBNAIL.Height=120"},
                        {"THUMBNAIL.Size"},
                        {"THUMBNAIL.Width=120", "THUMBNAIL.Height=120"}}),
    [](const ::testing::TestParamInfo<TConversionCase>& info) { return info.param.Name; });

}  // namespace

TEST(OldKeyConversion, PictureMoveKeysWithoutMoveCountStayPut)
{
    TIniFile ini;
    ini.LoadFromText("[PICTURE]\nMoveRatio=30\n");
    EXPECT_FALSE(ConvertOldOptionKeys(ini));
    EXPECT_TRUE(ini.ValueExists("PICTURE", "MoveRatio"));
    EXPECT_FALSE(ini.SectionExists("MOVE"));
}

TEST(OldKeyConversion, AFileWithoutOldKeysIsNotWritten)
{
    TTempFolder temp;
    const std::string original = "[PICTURE]\r\nStretch=1\r\n[SCROLL]\r\nPageScrollRatio=70\r\n";
    const std::string path = temp.Write("Mireva.ini", original);
    TIniFile ini(path);
    TOptions options;
    const TLoadOptionsResult result = LoadOptions(ini, options, {});
    EXPECT_FALSE(result.Converted);
    EXPECT_FALSE(result.Written);
    EXPECT_EQ(temp.Read("Mireva.ini"), original);
}

TEST(OldKeyConversion, ReadOnlyLoadingConvertsInMemoryOnly)
{
    TTempFolder temp;
    const std::string original = "[LOUPE]\nRatio=2\n";
    const std::string path = temp.Write("Mireva.ini", original);
    TIniFile ini(path);
    TOptions options;
    const TLoadOptionsResult result = LoadOptions(ini, options, {}, false);
    EXPECT_TRUE(result.Converted);
    EXPECT_FALSE(result.Written);
    EXPECT_EQ(options.Loupe.Scale, 5);
    EXPECT_EQ(temp.Read("Mireva.ini"), original);
}

TEST(OldKeyConversion, AFailedWriteBackNeitherThrowsNorLosesTheValues)
{
    TTempFolder temp;
    temp.Write("file", "not a folder");
    TIniFile ini;
    ini.LoadFromText("[THUMBNAIL]\nSize=150\n");
    // The settings file would have to live below a plain file: no write can
    // succeed.
    ini.Rename(temp.File("file/Mireva.ini"), false);
    TOptions options;
    TLoadOptionsResult result;
    EXPECT_NO_THROW(result = LoadOptions(ini, options, {}));
    EXPECT_TRUE(result.Converted);
    EXPECT_FALSE(result.Written);
    EXPECT_FALSE(result.WriteError.empty());
    EXPECT_EQ(options.Thumbnail.Width, 150);
    EXPECT_EQ(temp.Read("file"), "not a folder");
}

TEST(OldKeyConversion, OldRecentEntriesLeaveTheRecentOptionsAndDialogStateAlone)
{
    TIniFile ini;
    ini.LoadFromText(
        "[RECENT]\nCount=30\n1=,/books/a/,p1.jpg,0,3,2004/01/02,10:00:00\nSort=2\n2=/x.zip,,p.jpg,1,2,,\n"
        "Width=600\n[OTHER]\n1=keep\n");
    const std::vector<std::string> entries = TakeOldRecentEntries(ini);
    EXPECT_EQ(entries, (std::vector<std::string>{",/books/a/,p1.jpg,0,3,2004/01/02,10:00:00", "/x.zip,,p.jpg,1,2,,"}));
    EXPECT_EQ(ini.ReadSection("RECENT"), (std::vector<std::string>{"Count", "Sort", "Width"}));
    EXPECT_EQ(ini.ReadString("OTHER", "1", ""), "keep");
    EXPECT_TRUE(TakeOldRecentEntries(ini).empty());
}

TEST(OldKeyConversion, ARecentSectionOfOnlyOldEntriesGoesAway)
{
    TIniFile ini;
    ini.LoadFromText("[RECENT]\n1=a\n2=b\n[NEXT]\nk=v\n");
    EXPECT_EQ(TakeOldRecentEntries(ini).size(), 2u);
    EXPECT_FALSE(ini.SectionExists("RECENT"));
    EXPECT_TRUE(ini.SectionExists("NEXT"));
}
