#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "base/PathUtils.h"
#include "base/QueueDispatcher.h"
#include "collections/CategoryFile.h"
#include "collections/CategoryFolder.h"
#include "common/BfStream.h"
#include "platform/SafeFiles.h"
#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

// Noon local time, so that no time zone moves a file to another day.
TDateTime Day(int year, int month, int day)
{
    return EncodeDateTime({year, month, day, 12, 0, 0, 0});
}

std::string Write(const TTempFolder& temp, const std::string& name, TDateTime modified, size_t size = 1)
{
    const std::string path = temp.Write(name, std::string(size, 'x'));
    EXPECT_TRUE(SetFileModifiedTime(path, DateTimeToUnix(modified)));
    return path;
}

// Runs the category's search and sorting to their end.
void LoadAll(TCategoryFolder& category, TQueueDispatcher& tasks)
{
    ASSERT_TRUE(category.Load());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (category.Busy() && std::chrono::steady_clock::now() < deadline)
        tasks.RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    ASSERT_FALSE(category.Busy());
}

// The file names placed directly in a category, in the tree's order.
std::vector<std::string> NamesIn(const TCategoryFolder& category, const std::string& path, bool sub = false)
{
    std::vector<std::string> names;
    for (int index : category.MembersOf(path, sub))
        names.push_back(ExtractFileName(category.ItemInfo(index)->Path));
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> Paths(const TCategoryTree& tree)
{
    std::vector<std::string> paths;
    for (const TCategoryNode& node : tree.Nodes())
        paths.push_back(node.Path);
    return paths;
}

struct TDateRow {
    uint8_t Units;
    const char* Path;
};

class DatePathTest : public testing::TestWithParam<TDateRow> {};

TEST_P(DatePathTest, UnitsChooseTheLevels)
{
    EXPECT_EQ(DatePath(Day(2004, 3, 5), GetParam().Units), GetParam().Path);
}

INSTANTIATE_TEST_SUITE_P(Categories, DatePathTest,
                         testing::Values(TDateRow{duYear | duMonth | duDay, "2004/03/05"},
                                         TDateRow{duYear | duMonth, "2004/03"},
                                         TDateRow{duYear | duDay, "2004/03-05"}, TDateRow{duYear, "2004"},
                                         TDateRow{0, "2004-03-05"}, TDateRow{duDay, "2004-03-05"},
                                         TDateRow{duMonth | duDay, "2004-03/05"}, TDateRow{duMonth, "2004-03"}));

TEST(Categories, ByDateOverAFolderGivesYearsAndMonths)
{
    TTempFolder temp;
    Write(temp, "pics/a.jpg", Day(2004, 3, 5));
    Write(temp, "pics/b.jpg", Day(2004, 3, 28));
    Write(temp, "pics/sub/c.jpg", Day(2004, 11, 1));
    Write(temp, "pics/d.jpg", Day(2010, 1, 9));

    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, nullptr, "dates");
    category.SetTargets({{TSearchTargetKind::tkFolder, temp.File("pics"), true}});
    TCategorySettings settings;
    settings.DateUnits = duYear | duMonth;
    category.SetSettings(settings);
    LoadAll(category, tasks);

    EXPECT_TRUE(category.Loaded);
    EXPECT_EQ(Paths(category.CategoryTree()),
              (std::vector<std::string>{"", "2004", "2004/03", "2004/11", "2010", "2010/01"}));
    EXPECT_EQ(category.CategoryCount(), 5);
    EXPECT_EQ(category.CategoryTree().Children("2004"), (std::vector<std::string>{"2004/03", "2004/11"}));
    EXPECT_EQ(NamesIn(category, "2004/03"), (std::vector<std::string>{"a.jpg", "b.jpg"}));
    EXPECT_EQ(NamesIn(category, "2004"), std::vector<std::string>{});
    EXPECT_EQ(NamesIn(category, "2004", true), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(NamesIn(category, "", true).size(), 4u);
}

TEST(Categories, TheShownTreeStaysUntilTheNewOneIsDone)
{
    TTempFolder temp;
    Write(temp, "pics/a.jpg", Day(2004, 3, 5));
    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, nullptr, "dates");
    category.SetTargets({{TSearchTargetKind::tkFolder, temp.File("pics"), true}});
    LoadAll(category, tasks);
    ASSERT_NE(category.CategoryTree().Find("2004/03"), nullptr);

    // Sorting again by year leaves the month tree in place until the
    // window runs the finished tree's task.
    TCategorySettings byYear;
    byYear.DateUnits = duYear;
    category.SetSettings(byYear);
    category.StartCategorize();
    EXPECT_NE(category.CategoryTree().Find("2004/03"), nullptr);
    while (category.Categorizing())
        tasks.RunOne(std::chrono::steady_clock::now() + std::chrono::seconds(5));
    EXPECT_EQ(Paths(category.CategoryTree()), (std::vector<std::string>{"", "2004"}));

    // A tree finished after the category was cleared is never installed.
    category.StartCategorize();
    category.Clear();
    tasks.RunPending();
    EXPECT_TRUE(category.CategoryTree().Empty());
    EXPECT_FALSE(category.Loaded);
}

TNameDivideInfo Rule(TDivideKind kind, std::vector<std::string> first, std::vector<std::string> second = {})
{
    TNameDivideInfo rule;
    rule.Kind = kind;
    rule.FirstDelimiters = std::move(first);
    rule.SecondDelimiters = std::move(second);
    rule.RemoveDelimiters = true;
    return rule;
}

struct TNameRow {
    const char* Name;
    std::vector<int32_t> Order;
    const char* Path;
};

class NamePathTest : public testing::TestWithParam<TNameRow> {};

// Author in brackets, then the title before " - ".
TEST_P(NamePathTest, PartsBecomeLevelsInTheirOrder)
{
    const std::vector<TNameDivideInfo> rules = {Rule(dkEnclosed, {"["}, {"]"}), Rule(dkBefore, {" - "})};
    EXPECT_EQ(NamePath(rules, GetParam().Order, GetParam().Name), GetParam().Path);
}

INSTANTIATE_TEST_SUITE_P(Categories, NamePathTest,
                         testing::Values(TNameRow{"[Ann] Sea - 01.jpg", {0, 1}, "Ann/Sea"},
                                         TNameRow{"[Ann] Sea - 01.jpg", {1, 0}, "Sea/Ann"},
                                         TNameRow{"[Ann] Sea - 01.jpg", {0}, "Ann"},
                                         // No title: the author alone.
                                         TNameRow{"[Ann] cover.jpg", {0, 1}, "Ann"},
                                         // No author: the first level is empty, so the root.
                                         TNameRow{"Sea - 01.jpg", {0, 1}, ""},
                                         // An order entry that names no rule ends the path.
                                         TNameRow{"[Ann] Sea - 01.jpg", {0, 7, 1}, "Ann"}));

TEST(Categories, ByNamePartsGivesAuthorThenTitle)
{
    TCategorySettings settings;
    settings.Kind = TCategoryKind::ckName;
    settings.NameParts = {Rule(dkEnclosed, {"["}, {"]"}), Rule(dkBefore, {" - "})};
    settings.PartOrder = {0, 1};
    const std::vector<TCategoryInput> files = {
        {"[Ann] Sea - 01.jpg", 1, 0}, {"[Ann] Sea - 02.jpg", 1, 0}, {"[Ann] Sky - 01.jpg", 1, 0},
        {"[Bob] Sea - 01.jpg", 1, 0}, {"loose.jpg", 1, 0}};
    const TCategoryTree tree = Categorize(settings, files, 0);
    EXPECT_EQ(Paths(tree), (std::vector<std::string>{"", "Ann", "Ann/Sea", "Ann/Sky", "Bob", "Bob/Sea"}));
    EXPECT_EQ(tree.Find("Ann/Sea")->Members, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(tree.Find("")->Members, (std::vector<int32_t>{4}));
    EXPECT_TRUE(tree.Find("Ann")->Members.empty());
}

TCustomCategorySet Condition(const std::string& name, const std::string& mask, int64_t atLeast = -1)
{
    TCustomCategorySet set = NewCategorySet(Day(2020, 1, 1));
    set.Name = name;
    set.Limits.Mask = mask;
    if (atLeast >= 0) {
        set.Limits.UseSize = true;
        set.Limits.Size = atLeast;
    }
    return set;
}

struct TConditionRow {
    bool Exclusive;
    std::vector<std::pair<std::string, std::vector<int32_t>>> Expected;
};

class ConditionTest : public testing::TestWithParam<TConditionRow> {};

TEST_P(ConditionTest, FilesFollowTheConditionTree)
{
    TCategorySettings settings;
    settings.Kind = TCategoryKind::ckConditions;
    settings.Exclusive = GetParam().Exclusive;
    TCustomCategorySet pictures = Condition("jpg", "*.jpg");
    pictures.Children.push_back(Condition("a/names", "a*"));
    settings.RootCondition.Children = {pictures, Condition("big", "", 1000), Condition("empty", "*.none")};
    const std::vector<TCategoryInput> files = {
        {"a.jpg", 10, 0}, {"b.jpg", 5000, 0}, {"c.png", 5000, 0}, {"d.gif", 10, 0}};
    const TCategoryTree tree = Categorize(settings, files, Day(2020, 1, 1));

    std::vector<std::pair<std::string, std::vector<int32_t>>> got;
    for (const TCategoryNode& node : tree.Nodes())
        got.emplace_back(node.Path, node.Members);
    EXPECT_EQ(got, GetParam().Expected);
}

// "a/names" is one level: a '/' in a condition's name cannot split it.
INSTANTIATE_TEST_SUITE_P(
    Categories, ConditionTest,
    testing::Values(TConditionRow{false,
                                  {{"", {3}}, {"big", {1, 2}}, {"empty", {}}, {"jpg", {1}}, {"jpg/a-names", {0}}}},
                    TConditionRow{true,
                                  {{"", {3}}, {"big", {2}}, {"empty", {}}, {"jpg", {1}}, {"jpg/a-names", {0}}}}));

// The past days and months count back from the moment of sorting, not from
// when the condition was made (its stored threshold is long gone).
TEST(Categories, PastDaysCountFromTheSorting)
{
    TCategorySettings settings;
    settings.Kind = TCategoryKind::ckConditions;
    TCustomCategorySet recent = Condition("recent", "");
    recent.Limits.UseDate = true;
    recent.Limits.DateSetType = TDateSetType::dsDays;
    recent.Limits.Days = 10;
    recent.Limits.Threshold = Day(1990, 1, 1);
    TCustomCategorySet months = recent;
    months.Name = "months";
    months.Limits.DateSetType = TDateSetType::dsMonths;
    months.Limits.Months = 2;
    settings.RootCondition.Children = {recent, months};
    const TCategoryTree tree =
        Categorize(settings, {{"new", 1, Day(2020, 1, 15)}, {"mid", 1, Day(2019, 12, 1)}, {"old", 1, Day(2019, 10, 1)}},
                   Day(2020, 1, 20));
    EXPECT_EQ(tree.Find("recent")->Members, (std::vector<int32_t>{0}));
    EXPECT_EQ(tree.Find("months")->Members, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(tree.Find("")->Members, (std::vector<int32_t>{2}));
}

TEST(Categories, ARootThatRefusesPlacesNothing)
{
    TCategorySettings settings;
    settings.Kind = TCategoryKind::ckConditions;
    settings.RootCondition.Limits.Mask = "*.jpg";
    const TCategoryTree tree = Categorize(settings, {{"a.png", 1, 0}, {"b.jpg", 1, 0}}, 0);
    EXPECT_EQ(tree.Find("")->Members, (std::vector<int32_t>{1}));
}

// Two categories that use every field, written and read back.
void FillList(TCategoryList& list)
{
    TCategoryFolder& byName = *list.Category(list.Add("名前", 3, "作者\nと題"));
    TCategorySettings name;
    name.Kind = TCategoryKind::ckName;
    name.NameParts = {Rule(dkEnclosed, {"[", "("}, {"]", ")"}), Rule(dkAfter, {"_"})};
    name.NameParts[1].Index = 1;
    name.NameParts[1].FromEnd = true;
    name.NameParts[1].RemoveDelimiters = false;
    name.PartOrder = {1, 0};
    byName.SetSettings(name);
    byName.SetTargets({{TSearchTargetKind::tkFolder, "/pics/", true}, {TSearchTargetKind::tkShelf, "", false}});
    byName.ShowSubContents = true;

    TCategoryFolder& byCondition = *list.Category(list.Add("条件", 0, ""));
    TCategorySettings conditions;
    conditions.Kind = TCategoryKind::ckConditions;
    conditions.Exclusive = true;
    TCustomCategorySet dated = Condition("dated", "*.jpg -x*", int64_t(1) << 40);
    dated.Limits.UseDate = true;
    dated.Limits.DateSetType = TDateSetType::dsDates;
    dated.Limits.DateKind = TDateKind::dkBetween;
    dated.Limits.DateTo = Day(2021, 5, 6);
    dated.Children.push_back(Condition("inner", "a*"));
    conditions.RootCondition.Children = {dated, Condition("other", "")};
    byCondition.SetSettings(conditions);
    byCondition.SetTargets({{TSearchTargetKind::tkMedium, "disc", true}});
}

std::string Bytes(const TCategoryList& list)
{
    TMemoryStream stream;
    WriteCategoryList(list, stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

TEST(CategoryFile, RoundTripsEveryField)
{
    TCategoryList list;
    FillList(list);
    const std::string bytes = Bytes(list);

    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    in.SetPosition(0);
    TCategoryList read;
    const TListReadOutcome outcome = ReadCategoryList(in, read);
    ASSERT_TRUE(outcome.Complete) << outcome.Error;
    ASSERT_EQ(read.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TCategoryFolder& a = *list.Category(i);
        const TCategoryFolder& b = *read.Category(i);
        EXPECT_EQ(b.Name(), a.Name());
        EXPECT_EQ(b.ImageIndex(), a.ImageIndex());
        EXPECT_EQ(b.Comment(), a.Comment());
        EXPECT_EQ(b.Settings(), a.Settings());
        EXPECT_EQ(b.Targets(), a.Targets());
        EXPECT_EQ(b.ShowSubContents, a.ShowSubContents);
    }
    EXPECT_EQ(Bytes(read), bytes);
}

TEST(CategoryFile, EveryTruncationStopsCleanly)
{
    TCategoryList list;
    FillList(list);
    const std::string bytes = Bytes(list);
    for (size_t length = 0; length < bytes.size(); ++length) {
        TMemoryStream in;
        in.WriteBuffer(bytes.data(), static_cast<int64_t>(length));
        in.SetPosition(0);
        TCategoryList read;
        const TListReadOutcome outcome = ReadCategoryList(in, read);
        EXPECT_FALSE(outcome.Complete) << length;
        // Only whole categories are kept.
        EXPECT_LE(read.Count(), 1) << length;
    }
}

TEST(CategoryFile, NestingBeyondTheLimitIsDamage)
{
    TCategoryList list;
    TCategoryFolder& deep = *list.Category(list.Add("deep", 0, ""));
    TCategorySettings settings;
    TCustomCategorySet* level = &settings.RootCondition;
    for (int i = 0; i <= CategoryMaxDepth; ++i) {
        level->Children.push_back(Condition("c", ""));
        level = &level->Children.back();
    }
    deep.SetSettings(settings);
    const std::string bytes = Bytes(list);
    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    in.SetPosition(0);
    TCategoryList read;
    EXPECT_FALSE(ReadCategoryList(in, read).Complete);
    EXPECT_EQ(read.Count(), 0);
}

TEST(CategoryFile, TheStoreSavesAndLoads)
{
    TTempFolder home;
    TCategoryList list;
    FillList(list);
    TCategoryStore(home.Path()).Save(list);
    TCategoryList read;
    const TListLoadResult loaded = TCategoryStore(home.Path()).Load(read);
    EXPECT_TRUE(loaded.Found);
    EXPECT_FALSE(loaded.Damaged);
    EXPECT_EQ(read.Count(), 2);
}

TEST(CliCategory, AddListAndShowShareTheCategoryFile)
{
    TTempFolder home;
    Write(home, "p/a.jpg", Day(2004, 3, 5));
    Write(home, "p/sub/b.jpg", Day(2004, 3, 9));
    Write(home, "p/c.jpg", Day(2006, 7, 1));
    home.Write("conds", "jpg\t*.jpg\n  old\t\tbefore:2005/01/01\nnone\t*.png\n");
    const std::string pics = "'" + home.File("p") + "'";

    EXPECT_EQ(RunCli(home.Path(), "category add Dates --by date:ym " + pics).ExitCode, 0);
    EXPECT_EQ(RunCli(home.Path(), "category add Conds --by conditions:conds --sub-contents " + pics).ExitCode, 0);
    EXPECT_NE(RunCli(home.Path(), "category add dates --by date:y " + pics).ExitCode, 0);
    EXPECT_NE(RunCli(home.Path(), "category add X --by date:yq " + pics).ExitCode, 0);
    EXPECT_EQ(RunCli(home.Path(), "category list").Out, "Dates\tdate\t1\t\nConds\tconditions\t1\t\n");
    EXPECT_EQ(RunCli(home.Path(), "category show Dates").Out, "2004/\t0\n2004/03/\t2\n2006/\t0\n2006/07/\t1\n");
    EXPECT_EQ(RunCli(home.Path(), "category show Dates 2004/03").Out,
              home.File("p/a.jpg") + "\n" + home.File("p/sub/b.jpg") + "\n");
    EXPECT_EQ(RunCli(home.Path(), "category show Conds").Out, "jpg/\t1\njpg/old/\t2\nnone/\t0\n");
    // The category shows the files of its sub-categories too.
    EXPECT_EQ(RunCli(home.Path(), "category show Conds jpg").Out,
              home.File("p/a.jpg") + "\n" + home.File("p/c.jpg") + "\n" + home.File("p/sub/b.jpg") + "\n");
    EXPECT_NE(RunCli(home.Path(), "category show Dates 1999").ExitCode, 0);
}

}  // namespace
