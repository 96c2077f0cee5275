#include <gtest/gtest.h>

#include <set>

#include "app/RegApp.h"
#include "common/IniFile.h"

namespace {

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i ? "|" : "") + items[i];
    return text;
}

struct TCommaCase {
    const char* Name;
    const char* Text;
    const char* Items;  // joined by '|'
};

class CommaTextTest : public ::testing::TestWithParam<TCommaCase> {};

TEST_P(CommaTextTest, Parses)
{
    EXPECT_EQ(Joined(ParseCommaText(GetParam().Text)), GetParam().Items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommaTextTest,
    ::testing::Values(TCommaCase{"Plain", "a,b,c", "a|b|c"}, TCommaCase{"BlanksSeparateToo", "a b,c", "a|b|c"},
                      TCommaCase{"EmptyBetweenCommas", "a,,b", "a||b"},
                      TCommaCase{"BlanksAroundCommas", "a , b", "a|b"},
                      TCommaCase{"QuotedWithDoubledQuotes", "\"x \"\"y\"\"\",z", "x \"y\"|z"},
                      TCommaCase{"QuotedComma", "\"a,b\",c", "a,b|c"}, TCommaCase{"TrailingComma", "a,", "a|"},
                      TCommaCase{"UnclosedQuoteRunsToTheEnd", "\"a b", "a b"}, TCommaCase{"Nothing", "  ", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CommaText, WrittenItemsReadBack)
{
    const std::vector<std::vector<std::string>> lists = {
        {"/usr/bin/gimp", "GIMP", "", "0", "1", "0"},
        {"/opt/My Apps/view,er", "名前 with \"quotes\"", "-a --b=\"c d\"", "2", "0", "1"},
        {"", "", "", "", "", ""},
        {"tab\there", "x"},
    };
    for (const auto& items : lists)
        EXPECT_EQ(ParseCommaText(FormatCommaText(items)), items) << FormatCommaText(items);
}

struct TRecordCase {
    const char* Name;
    const char* Value;
    bool Present;
    TRegApplication Expected;
};

class RegRecordTest : public ::testing::TestWithParam<TRecordCase> {};

TEST_P(RegRecordTest, Reads)
{
    const std::optional<TRegApplication> app = ParseRegApplication(GetParam().Value);
    ASSERT_EQ(app.has_value(), GetParam().Present);
    if (app) {
        EXPECT_EQ(*app, GetParam().Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegRecordTest,
    ::testing::Values(
        TRecordCase{"Whole", "/usr/bin/gimp,GIMP,-n,2,1,1", true,
                    {"/usr/bin/gimp", "GIMP", "-n", TAppWindow::awMaximize, true, true}},
        TRecordCase{"PathOnly", "/usr/bin/feh", true, {"/usr/bin/feh", "", "", TAppWindow::awNormal, false, false}},
        TRecordCase{"WindowOutOfRange", "p,n,,3,0,1", true, {"p", "n", "", TAppWindow::awNormal, false, true}},
        TRecordCase{"FlagsThatAreNoNumbers", "p,n,,1,yes,x", true, {"p", "n", "", TAppWindow::awMinimize, false, false}},
        TRecordCase{"EmptyPathKept", ",Open,,0,0,0", true, {"", "Open", "", TAppWindow::awNormal, false, false}},
        TRecordCase{"EmptyValue", "", false, TRegApplication()}),
    [](const auto& info) { return std::string(info.param.Name); });

class RecordingObserver : public TAppListObserver {
public:
    void AppListChanged(TApplicationLists& lists, TAppListChangeKind kind, TChangePhase phase) override
    {
        Notices.push_back({kind, phase, lists.Recent().size()});
    }
    struct TNotice {
        TAppListChangeKind Kind;
        TChangePhase Phase;
        size_t RecentCount;
    };
    std::vector<TNotice> Notices;
};

TEST(ApplicationLists, RecentProgramsComeFirstOnceAndFiveAtMost)
{
    TApplicationLists lists;
    RecordingObserver observer;
    lists.RegisterObserver(&observer);
    for (const char* program : {"/a", "/b", "/c", "/d", "/e"})
        lists.UseProgram(program);
    EXPECT_EQ(Joined(lists.Recent()), "/e|/d|/c|/b|/a");
    lists.UseProgram("/c");
    EXPECT_EQ(Joined(lists.Recent()), "/c|/e|/d|/b|/a");
    lists.UseProgram("/f");
    EXPECT_EQ(Joined(lists.Recent()), "/f|/c|/e|/d|/b");
    // Names on this system differ by case.
    lists.UseProgram("/F");
    EXPECT_EQ(Joined(lists.Recent()), "/F|/f|/c|/e|/d");
    lists.PromoteRecent(3);
    EXPECT_EQ(Joined(lists.Recent()), "/e|/F|/f|/c|/d");
    lists.PromoteRecent(7);
    EXPECT_EQ(Joined(lists.Recent()), "/e|/F|/f|/c|/d");
    // Each change is announced before and after, with the list changed in between.
    ASSERT_EQ(observer.Notices.size(), 18u);
    EXPECT_EQ(observer.Notices[0].Phase, TChangePhase::cpBefore);
    EXPECT_EQ(observer.Notices[0].RecentCount, 0u);
    EXPECT_EQ(observer.Notices[1].Phase, TChangePhase::cpAfter);
    EXPECT_EQ(observer.Notices[1].RecentCount, 1u);
    lists.UnregisterObserver(&observer);
}

TEST(ApplicationLists, RegisteredRoundTripThroughTheSettingsFile)
{
    TApplicationLists lists;
    std::vector<TRegApplication> apps;
    for (int n = 1; n <= 11; ++n)
        apps.push_back({"/opt/app " + std::to_string(n), "名前," + std::to_string(n), "-x \"y\"",
                        static_cast<TAppWindow>(n % 3), n % 2 == 0, n % 3 == 0});
    lists.SetRegistered(apps);
    ASSERT_EQ(lists.Registered().size(), 10u);

    TIniFile ini;
    lists.WriteRegistered(ini, false);
    TIniFile reread;
    reread.LoadFromText(ini.ToText());
    TApplicationLists loaded;
    loaded.ReadRegistered(reread);
    EXPECT_EQ(loaded.Registered(), lists.Registered());

    // Three left: saving the settings writes the other numbers empty, the
    // dialog removes them; either way a later load finds three.
    apps.resize(3);
    lists.SetRegistered(apps);
    lists.WriteRegistered(ini, false);
    EXPECT_TRUE(ini.ValueExists("FILE", "RegApplication4"));
    EXPECT_EQ(ini.ReadString("FILE", "RegApplication10", "x"), "");
    lists.WriteRegistered(ini, true);
    EXPECT_FALSE(ini.ValueExists("FILE", "RegApplication4"));
    loaded.ReadRegistered(ini);
    EXPECT_EQ(loaded.Registered(), apps);
}

TEST(ApplicationLists, RecentReadDropsMissingAndRepeatedPrograms)
{
    TIniFile ini;
    ini.LoadFromText("[FILE]\nUseApplication1=/usr/bin/a\nUseApplication2=/gone\nUseApplication3=\n"
                     "UseApplication4=/usr/bin/a\nUseApplication5=/usr/bin/b\n");
    const std::set<std::string> existing = {"/usr/bin/a", "/usr/bin/b"};
    TApplicationLists lists;
    lists.ReadRecent(ini, [&](const std::string& path) { return existing.count(path) > 0; });
    EXPECT_EQ(Joined(lists.Recent()), "/usr/bin/a|/usr/bin/b");
    lists.WriteRecent(ini);
    EXPECT_EQ(ini.ReadString("FILE", "UseApplication2", ""), "/usr/bin/b");
    EXPECT_EQ(ini.ReadString("FILE", "UseApplication3", "x"), "");
}

struct TDropCase {
    const char* Name;
    const char* Text;
    TDropWindowSettings Expected;
};

class DropSettingsTest : public ::testing::TestWithParam<TDropCase> {};

TEST_P(DropSettingsTest, Reads)
{
    TIniFile ini;
    ini.LoadFromText(GetParam().Text);
    EXPECT_EQ(ReadDropWindowSettings(ini), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DropSettingsTest,
    ::testing::Values(TDropCase{"Nothing", "", {true, {}, {}}},
                      TDropCase{"OnlyOneSide", "[DROP]\nForeground=0\nWidth=500\n", {false, {}, {}}},
                      TDropCase{"BothSides", "[DROP]\nWidth=500\nHeight=300\n", {true, 500, 300}},
                      TDropCase{"BelowTheMinimum", "[DROP]\nWidth=10\nHeight=20\n", {true, 350, 180}},
                      TDropCase{"NotANumber", "[DROP]\nWidth=wide\nHeight=300\n", {true, {}, {}}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
