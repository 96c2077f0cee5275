#include <gtest/gtest.h>

#include <string>

#include "collections/FileMask.h"
#include "common/IniFile.h"

namespace {

TDateTime Day(int year, int month, int day, int hour = 0)
{
    TDateParts parts;
    parts.Year = year;
    parts.Month = month;
    parts.Day = day;
    parts.Hour = hour;
    return EncodeDateTime(parts);
}

constexpr int64_t GB = int64_t(1) << 30;

struct TAcceptCase {
    const char* Name;
    TFileMaskRec Rec;
    TMaskFlags Flags;
    TMaskItem Item;
    bool Accepted;
};

TFileMaskRec NameMask(const char* mask)
{
    TFileMaskRec rec;
    rec.Mask = mask;
    return rec;
}

TFileMaskRec SizeMask(int64_t size, bool atLeast)
{
    TFileMaskRec rec;
    rec.UseSize = true;
    rec.Size = size;
    rec.AtLeast = atLeast;
    return rec;
}

TFileMaskRec DateMask(TDateKind kind, TDateTime from, TDateTime to = 0)
{
    TFileMaskRec rec;
    rec.UseDate = true;
    rec.DateSetType = TDateSetType::dsDates;
    rec.DateKind = kind;
    rec.DateFrom = from;
    rec.DateTo = to;
    return rec;
}

TMaskItem File(const char* name, int64_t size = 100, TDateTime modified = 45000)
{
    TMaskItem item;
    item.Name = name;
    const std::string n = name;
    const size_t dot = n.rfind('.');
    item.Extension = dot == std::string::npos ? std::string() : n.substr(dot);
    item.Size = size;
    item.Modified = modified;
    return item;
}

TMaskItem Folder(const char* name)
{
    TMaskItem item = File(name, 0);
    item.Extension.clear();
    item.IsDirectory = true;
    return item;
}

TMaskFlags NoFolders()
{
    TMaskFlags flags;
    flags.ApplyToFolders = false;
    return flags;
}

class FileMaskAccepts : public ::testing::TestWithParam<TAcceptCase> {};

TEST_P(FileMaskAccepts, FiltersItemsTheListAdds)
{
    const TAcceptCase& c = GetParam();
    TFileMask mask;
    mask.Apply(c.Rec, c.Flags);
    EXPECT_EQ(mask.Accepts(c.Item, false, nullptr), c.Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileMaskAccepts,
    ::testing::Values(
        TAcceptCase{"NoMaskTakesAll", TFileMaskRec(), TMaskFlags(), File("a.txt"), true},
        TAcceptCase{"NameMatches", NameMask("*.jpg"), TMaskFlags(), File("a.JPG"), true},
        TAcceptCase{"NameDoesNotMatch", NameMask("*.jpg"), TMaskFlags(), File("a.png"), false},
        TAcceptCase{"StarDotStarIsNoMask", NameMask("*.*"), TMaskFlags(), File("README"), true},
        TAcceptCase{"FoldersMaskedByDefault", NameMask("*.jpg"), TMaskFlags(), Folder("pictures"), false},
        TAcceptCase{"FoldersLeftAloneWhenAsked", NameMask("*.jpg"), NoFolders(), Folder("pictures"), true},
        TAcceptCase{"NoFileDataPasses", NameMask("*.jpg"), TMaskFlags(),
                    [] { TMaskItem i = File("x.png"); i.NoFileData = true; return i; }(), true},
        TAcceptCase{"TwoGigabytesBelowFourAtMost", SizeMask(4 * GB, false), TMaskFlags(), File("big.iso", 2 * GB), true},
        TAcceptCase{"TwoGigabytesBelowFourAtLeast", SizeMask(4 * GB, true), TMaskFlags(), File("big.iso", 2 * GB), false},
        TAcceptCase{"ExactLimitAtLeast", SizeMask(1048576, true), TMaskFlags(), File("m.jpg", 1048576), true},
        TAcceptCase{"ExactLimitAtMost", SizeMask(1048576, false), TMaskFlags(), File("m.jpg", 1048576), true},
        TAcceptCase{"SizeNeverRejectsFolders", SizeMask(4 * GB, true), TMaskFlags(), Folder("small"), true},
        TAcceptCase{"OnOrBeforeTakesTheWholeDay", DateMask(TDateKind::dkOnOrBefore, Day(2024, 3, 10)), TMaskFlags(),
                    File("a.jpg", 1, Day(2024, 3, 10, 15)), true},
        TAcceptCase{"OnOrBeforeRejectsNextDay", DateMask(TDateKind::dkOnOrBefore, Day(2024, 3, 10)), TMaskFlags(),
                    File("a.jpg", 1, Day(2024, 3, 11, 0)), false},
        TAcceptCase{"OnOrAfterTakesTheDayItself", DateMask(TDateKind::dkOnOrAfter, Day(2024, 3, 10, 12)),
                    TMaskFlags(), File("a.jpg", 1, Day(2024, 3, 10, 1)), true},
        TAcceptCase{"BetweenTakesTheLastDay", DateMask(TDateKind::dkBetween, Day(2024, 3, 1), Day(2024, 3, 10)),
                    TMaskFlags(), File("a.jpg", 1, Day(2024, 3, 10, 23)), true},
        TAcceptCase{"BetweenRejectsTheDayBefore", DateMask(TDateKind::dkBetween, Day(2024, 3, 1), Day(2024, 3, 10)),
                    TMaskFlags(), File("a.jpg", 1, Day(2024, 2, 29, 23)), false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(FileMask, ApplyReportsOnlyChanges)
{
    TFileMask mask;
    EXPECT_FALSE(mask.Apply(TFileMaskRec(), TMaskFlags()));
    EXPECT_FALSE(mask.IsActive());
    EXPECT_TRUE(mask.Apply(NameMask("*.jpg"), TMaskFlags()));
    EXPECT_FALSE(mask.Apply(NameMask("*.jpg"), TMaskFlags()));
    EXPECT_TRUE(mask.Apply(NameMask("*.jpg"), NoFolders()));
    // "*" and "*.*" are the empty condition.
    EXPECT_TRUE(mask.Apply(NameMask("*"), NoFolders()));
    EXPECT_EQ(mask.Rec().Mask, "");
    EXPECT_FALSE(mask.IsActive());
}

TEST(FileMask, ViewableOnlyHoldsWithAndWithoutMask)
{
    const auto viewable = [](const std::string& ext) { return ext == ".JPG" || ext == ".ZIP"; };
    TFileMask mask;
    EXPECT_TRUE(mask.Accepts(File("a.jpg"), true, viewable));
    EXPECT_TRUE(mask.Accepts(File("a.bmp"), true, viewable));
    EXPECT_FALSE(mask.Accepts(File("a.txt"), true, viewable));
    EXPECT_TRUE(mask.Accepts(Folder("sub"), true, viewable));
    mask.Apply(NameMask("a*"), TMaskFlags());
    EXPECT_FALSE(mask.Accepts(File("a.txt"), true, viewable));
    EXPECT_TRUE(mask.Accepts(File("a.zip"), true, viewable));
}

TEST(FileMask, ArchiveMembersFollowTheArchiveFlag)
{
    TFileMask mask;
    TMaskFlags flags;
    flags.ApplyToArchives = false;
    mask.Apply(NameMask("*.jpg"), flags);
    TMaskItem member = File("page.png");
    member.InArchive = true;
    EXPECT_TRUE(mask.Accepts(member, false, nullptr));
    EXPECT_FALSE(mask.Accepts(File("page.png"), false, nullptr));
}

struct TMonthCase {
    const char* Name;
    TDateTime From;
    int Months;
    TDateTime Expected;
};

class IncMonthTest : public ::testing::TestWithParam<TMonthCase> {};

TEST_P(IncMonthTest, MovesByMonthsClampingTheDay)
{
    EXPECT_EQ(IncMonth(GetParam().From, GetParam().Months), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IncMonthTest,
                         ::testing::Values(TMonthCase{"Back", Day(2024, 5, 15), -1, Day(2024, 4, 15)},
                                           TMonthCase{"IntoLeapFebruary", Day(2024, 3, 31), -1, Day(2024, 2, 29)},
                                           TMonthCase{"IntoPlainFebruary", Day(2023, 3, 31), -1, Day(2023, 2, 28)},
                                           TMonthCase{"OverTheYear", Day(2024, 1, 10), -13, Day(2022, 12, 10)},
                                           TMonthCase{"Forward", Day(2024, 11, 30), 3, Day(2025, 2, 28)}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FileMask, ThresholdDropsTheTimeOfDay)
{
    const TDateTime now = Day(2024, 3, 31, 18);
    EXPECT_EQ(MaskThreshold(TDateSetType::dsDays, 1, 7, now), Day(2024, 3, 24));
    EXPECT_EQ(MaskThreshold(TDateSetType::dsMonths, 1, 7, now), Day(2024, 2, 29));
}

TEST(MaskSettings, OutOfRangeValuesReadAsTheirFallbacks)
{
    TIniFile ini;
    ini.LoadFromText("[MASK]\nSize=10000000\nMonth=0\nDay=101\nDateSetType=7\nDateType=3\n"
                     "DateFrom=2024/05/10\nDateTo=2024/05/01\n");
    const TDateTime now = Day(2024, 6, 1, 9);
    const TMaskDialogSettings s = LoadMaskSettings(ini, now);
    EXPECT_EQ(s.Rec.Size, 0);
    EXPECT_EQ(s.Rec.Months, 1);
    EXPECT_EQ(s.Rec.Days, 1);
    EXPECT_EQ(s.Rec.DateSetType, TDateSetType::dsMonths);
    EXPECT_EQ(s.Rec.DateKind, TDateKind::dkOnOrBefore);
    EXPECT_EQ(s.Rec.DateFrom, Day(2024, 5, 10));
    EXPECT_EQ(s.Rec.DateTo, Day(2024, 5, 10));  // raised to DateFrom
    EXPECT_TRUE(s.Rec.AtLeast);
    EXPECT_TRUE(s.Flags.ApplyToFolders);
    EXPECT_TRUE(s.Flags.ApplyToArchives);
    EXPECT_FALSE(s.Flags.KeepMask);
}

TEST(MaskSettings, UnreadableDatesReadAsToday)
{
    TIniFile ini;
    ini.LoadFromText("[MASK]\nDateFrom=yesterday\nDateTo=2024/02/30\n");
    const TMaskDialogSettings s = LoadMaskSettings(ini, Day(2024, 6, 1, 9));
    EXPECT_EQ(s.Rec.DateFrom, Day(2024, 6, 1));
    EXPECT_EQ(s.Rec.DateTo, Day(2024, 6, 1));
}

TEST(MaskSettings, DialogSettingsRoundTrip)
{
    TMaskDialogSettings s;
    s.Rec.UseSize = true;
    s.Rec.Size = int64_t(4096) * 1024;
    s.Rec.AtLeast = false;
    s.Rec.UseDate = true;
    s.Rec.DateSetType = TDateSetType::dsDates;
    s.Rec.DateKind = TDateKind::dkBetween;
    s.Rec.DateFrom = Day(2023, 1, 2);
    s.Rec.DateTo = Day(2023, 12, 31);
    s.Rec.Months = 5;
    s.Rec.Days = 30;
    s.Flags.KeepMask = true;
    s.Flags.ApplyToFolders = false;
    s.Detail = true;
    TIniFile ini;
    SaveMaskSettings(ini, s);
    const TMaskDialogSettings back = LoadMaskSettings(ini, Day(2024, 6, 1));
    EXPECT_EQ(back.Rec.Size, s.Rec.Size);
    EXPECT_FALSE(back.Rec.AtLeast);
    EXPECT_EQ(back.Rec.DateKind, TDateKind::dkBetween);
    EXPECT_EQ(back.Rec.DateFrom, s.Rec.DateFrom);
    EXPECT_EQ(back.Rec.DateTo, s.Rec.DateTo);
    EXPECT_EQ(back.Rec.Months, 5);
    EXPECT_EQ(back.Rec.Days, 30);
    EXPECT_EQ(back.Flags, s.Flags);
    EXPECT_TRUE(back.Detail);
}

TEST(MaskSettings, CurrentMaskSurvivesARestartOnlyWhenKept)
{
    TFileMask mask;
    TFileMaskRec rec = NameMask("*.png");
    rec.UseSize = true;
    rec.Size = 2048;
    TMaskFlags flags;
    flags.SaveMask = true;
    mask.Apply(rec, flags);
    TIniFile ini;
    SaveMaskSettings(ini, {rec, flags, false});
    SaveCurrentMask(ini, mask);
    const std::optional<TFileMaskRec> restored = RestoreMask(ini, Day(2024, 6, 1));
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->Mask, "*.png");
    EXPECT_TRUE(restored->UseSize);
    EXPECT_EQ(restored->Size, 2048);
    EXPECT_FALSE(restored->UseDate);

    flags.SaveMask = false;
    mask.Apply(rec, flags);
    SaveMaskSettings(ini, {rec, flags, false});
    SaveCurrentMask(ini, mask);
    EXPECT_EQ(ini.ReadString("MASK", "CurrentMask", "x"), "");
    EXPECT_FALSE(RestoreMask(ini, Day(2024, 6, 1)));
}

TEST(MaskHistory, KeepsTwentyNewestWithoutMatchAll)
{
    TMaskHistory history;
    for (int i = 1; i <= 22; ++i)
        history.Push("*.e" + std::to_string(i));
    history.Push("*.*");
    history.Push("*");
    history.Push("*.e5");  // moves to the top from its old place
    ASSERT_EQ(history.Items().size(), TMaskHistory::MaxCount);
    EXPECT_EQ(history.Items()[0], "*.e5");
    EXPECT_EQ(history.Items()[1], "*.e22");
    EXPECT_EQ(std::count(history.Items().begin(), history.Items().end(), "*.e5"), 1);

    TIniFile ini;
    ini.LoadFromText("[MASK]\nMask21=stale\n");
    history.Save(ini);
    EXPECT_FALSE(ini.ValueExists("MASK", "Mask21"));
    TMaskHistory back;
    back.Load(ini);
    EXPECT_EQ(back.Items(), history.Items());
}

TEST(MaskHistory, ReadingStopsAtTheFirstEmptyValue)
{
    TIniFile ini;
    ini.LoadFromText("[MASK]\nMask1=*.jpg\nMask2=\nMask3=*.png\n");
    TMaskHistory history;
    history.Load(ini);
    EXPECT_EQ(history.Items(), std::vector<std::string>{"*.jpg"});
}

}  // namespace
