#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/Errors.h"
#include "base/QueueDispatcher.h"
#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Search.h"
#include "collections/Shelf.h"
#include "shellviews/DirNotify.h"
#include "shellviews/ShellList.h"
#include "shellviews/ThumbSource.h"
#include "base/PathUtils.h"
#include "platform/SafeFiles.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using enum TListContent;

using TNames = std::vector<std::string>;

class TNotices : public TShellListObserver {
public:
    void ListChanged(TShellListModel&, const TFileListChange& change) override { Changes.push_back(change); }
    int CountOf(TFileListChangeKind kind) const
    {
        return static_cast<int>(std::count_if(Changes.begin(), Changes.end(),
                                              [kind](const TFileListChange& c) { return c.Kind == kind; }));
    }
    std::vector<TFileListChange> Changes;
};

class ShellListTest : public ::testing::Test {
protected:
    void SetUp() override { Build({}); }

    void Build(TShellListSources sources)
    {
        sources.Shelves = &fShelves;
        sources.Media = &fMedia;
        sources.Categories = &fCategories;
        if (!sources.IsArchive)
            sources.IsArchive = [](std::string_view ext) { return ext == ".zip" || ext == ".ZIP"; };
        fList.reset();
        fList = std::make_unique<TShellListModel>(sources);
        fList->RegisterObserver(&fNotices);
    }

    // A file of size bytes, modified minutes after a fixed moment.
    void File(const std::string& name, size_t size = 1, int minutes = 0) const
    {
        fTemp.Write(name, std::string(size, 'x'));
        fs::last_write_time(fTemp.File(name), fs::file_time_type(std::chrono::hours(480000) + std::chrono::minutes(minutes)));
    }
    void Dir(const std::string& name) const { fs::create_directories(fTemp.File(name)); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < fList->Count(); ++i)
            names.push_back(fList->Text(i, 0));
        return names;
    }

    TTempFolder fTemp;
    TGroupList fShelves;
    TMediaList fMedia;
    TCategoryList fCategories;
    TNotices fNotices;
    std::unique_ptr<TShellListModel> fList;
};

TEST_F(ShellListTest, TheListOfCategoriesShowsEachKind)
{
    struct Kind {
        TCategoryKind Kind;
        const char* Name;
        const char* Text;
    };
    const Kind kinds[] = {{TCategoryKind::ckDate, "a", "日付"},
                          {TCategoryKind::ckName, "b", "ファイル名"},
                          {TCategoryKind::ckConditions, "c", "条件指定"}};
    for (const Kind& kind : kinds) {
        TCategorySettings settings;
        settings.Kind = kind.Kind;
        fCategories.Category(fCategories.Add(kind.Name, 0, ""))->SetSettings(settings);
    }
    ASSERT_TRUE(fList->SetCategories());
    ASSERT_EQ(fList->Count(), 3);
    for (int row = 0; row < 3; ++row) {
        const std::string name = fList->Text(row, 0);
        const auto kind = std::find_if(std::begin(kinds), std::end(kinds), [&](const Kind& k) { return name == k.Name; });
        ASSERT_NE(kind, std::end(kinds)) << name;
        EXPECT_EQ(fList->Text(row, 2), kind->Text) << name;
    }
}

TEST_F(ShellListTest, EachPlaceHasItsContentAndColumns)
{
    fShelves.Add("棚", 0, "");
    fMedia.Add("disc", 0, "");
    fCategories.Add("cat", 0, "");
    struct Row {
        std::function<bool(TShellListModel&)> Set;
        TListContent Content;
        std::vector<std::string> Captions;
    };
    const std::string folder = fTemp.Path();
    const Row rows[] = {
        {[&](TShellListModel& l) { return l.SetFolder(folder); }, lcoFolder, {"名前", "サイズ", "種類", "更新日時"}},
        {[](TShellListModel& l) { return l.SetRoot(); }, lcoFolder, {"名前", "サイズ", "種類", "更新日時"}},
        {[](TShellListModel& l) { return l.SetShelves(); }, lcoShelves, {"名前", "コメント"}},
        {[](TShellListModel& l) { return l.SetShelf(0); }, lcoShelf, {"名前", "フォルダ名", "サイズ", "種類", "更新日時"}},
        {[](TShellListModel& l) { return l.SetMedia(); }, lcoMedia, {"名前", "コメント", "合計サイズ", "空き領域", "更新日時"}},
        {[](TShellListModel& l) { return l.SetMedium(0); }, lcoMediumRoot, {"名前", "サイズ", "種類", "更新日時"}},
        {[](TShellListModel& l) { return l.SetMedium(0, "a/b/"); }, lcoMediumFolder, {"名前", "サイズ", "種類", "更新日時"}},
        {[](TShellListModel& l) { return l.SetCategories(); }, lcoCategories, {"名前", "コメント", "分類"}},
        {[](TShellListModel& l) { return l.SetCategory(0); }, lcoCategory, {"名前", "フォルダ名", "サイズ", "種類", "更新日時"}},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(row.Set(*fList));
        EXPECT_EQ(fList->Content(), row.Content);
        std::vector<std::string> captions;
        for (const TListColumn& column : fList->Columns())
            captions.push_back(column.Caption);
        EXPECT_EQ(captions, row.Captions) << static_cast<int>(row.Content);
    }
    EXPECT_EQ(fList->Columns()[0].Width, 25);
    EXPECT_EQ(ListColumns(lcoFolder)[1].Align, TColumnAlign::caRight);
}

TEST_F(ShellListTest, ACategoryListsOneLevelAndFollowsItsSorting)
{
    File("p/a.jpg");
    File("p/b.jpg");
    const auto day = [](int year) { return DateTimeToUnix(EncodeDateTime({year, 3, 5, 12})); };
    ASSERT_TRUE(SetFileModifiedTime(fTemp.File("p/a.jpg"), day(2004)));
    ASSERT_TRUE(SetFileModifiedTime(fTemp.File("p/b.jpg"), day(2010)));
    TCategoryFolder& category = *fCategories.Category(fCategories.Add("dates", 0, ""));
    category.SetTargets({{TSearchTargetKind::tkFolder, fTemp.File("p"), true}});
    TCategorySettings settings;
    settings.DateUnits = duYear;
    category.SetSettings(settings);
    fList->OnCategoryLoading = [](TCategoryFolder& shown) { shown.Load(); };

    // Shown before it is sorted: the list follows when the tree is in.
    ASSERT_TRUE(fList->SetCategory(0, "2004/"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (category.Busy() && std::chrono::steady_clock::now() < deadline)
        fCategories.Tasks().RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    EXPECT_EQ(Names(), TNames{"a.jpg"});
    EXPECT_EQ(fList->Place().Path, "2004/");

    // The categories below come first, then the files.
    ASSERT_TRUE(fList->SetCategory(0));
    EXPECT_EQ(Names(), (TNames{"2004", "2010"}));
    category.ShowSubContents = true;
    ASSERT_TRUE(fList->Refresh());
    EXPECT_EQ(Names(), (TNames{"2004", "2010", "a.jpg", "b.jpg"}));
}

TEST_F(ShellListTest, AChildCategoryIsARowThatOpensItAndIsNoFile)
{
    File("p/a.jpg");
    ASSERT_TRUE(SetFileModifiedTime(fTemp.File("p/a.jpg"), DateTimeToUnix(EncodeDateTime({2004, 3, 5, 12}))));
    TCategoryFolder& category = *fCategories.Category(fCategories.Add("dates", 0, ""));
    category.SetTargets({{TSearchTargetKind::tkFolder, fTemp.File("p"), true}});
    TCategorySettings settings;
    settings.DateUnits = duYear | duMonth;
    category.SetSettings(settings);
    fList->OnCategoryLoading = [](TCategoryFolder& shown) { shown.Load(); };
    ASSERT_TRUE(fList->SetCategory(0));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (category.Busy() && std::chrono::steady_clock::now() < deadline)
        fCategories.Tasks().RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    ASSERT_FALSE(category.Busy());

    struct Level {
        std::string Shown;  // the category listed
        std::string Name;   // its one child's caption
        std::string Child;  // the child's path
    };
    for (const Level& level : {Level{"", "2004", "2004"}, Level{"2004/", "03", "2004/03"}}) {
        SCOPED_TRACE(level.Shown);
        ASSERT_TRUE(fList->SetCategory(0, level.Shown));
        ASSERT_EQ(Names(), TNames{level.Name});
        EXPECT_TRUE(fList->IsSubCategory(0));
        TListedRow facts;
        ASSERT_TRUE(fList->RowFacts(0, facts));
        EXPECT_TRUE(facts.SubCategory);
        EXPECT_TRUE(facts.Path.empty());
        EXPECT_EQ(facts.Kind, TFileKind::fkFolder);
        EXPECT_EQ(fList->KeyOf(0), level.Child);
        EXPECT_EQ(fList->IndexOfPath(level.Child), 0);
        EXPECT_EQ(fList->Text(0, 1), "");  // no folder
        EXPECT_EQ(fList->Text(0, 2), "");  // no size
        EXPECT_EQ(fList->Text(0, 3), "フォルダ");
        EXPECT_FALSE(fList->CanRename(0));
        fList->Select(TListSelection{0, {0}});
        EXPECT_TRUE(fList->SelectedPaths().empty());

        const TOpenResult opened = fList->Open(0);
        ASSERT_EQ(opened.Kind, TOpenKind::okPlace);
        EXPECT_EQ(opened.Place.Kind, TTreePlaceKind::tpCategoryItem);
        EXPECT_EQ(opened.Place.Path, level.Child + "/");
        EXPECT_EQ(opened.Place.ListIndex, 0);
        ASSERT_TRUE(fList->SetPlace(opened.Place));
        EXPECT_EQ(fList->Place().Path, level.Child + "/");
    }
    // The last level has no child: its files only.
    EXPECT_EQ(Names(), TNames{"a.jpg"});
    EXPECT_FALSE(fList->IsSubCategory(0));
}

TEST_F(ShellListTest, SearchResultsAreListedAsTheyArrive)
{
    File("a/cat.jpg");
    File("a/b/cat2.jpg");
    TQueueDispatcher dispatcher;
    TSearchFolder results(dispatcher, &fShelves);
    TSearchConditions conditions;
    conditions.Limits.Mask = "cat";
    results.SetConditions(conditions);
    results.SetTargets({{TSearchTargetKind::tkFolder, fTemp.File("a"), true}});
    ASSERT_TRUE(fList->SetSearch(results));
    EXPECT_EQ(fList->Content(), lcoSearch);
    EXPECT_EQ(fList->Count(), 0);
    // The window forwards each batch the folder announces.
    class TForward : public TSearchObserver {
    public:
        explicit TForward(TShellListModel& list) : fList(list) {}
        void SearchChanged(TSearchFolder&, const TSearchChange& change) override
        {
            if (change.Kind == TSearchChangeKind::scFound)
                fList.SearchResultsAdded(change.First, change.Count);
        }

    private:
        TShellListModel& fList;
    } forward(*fList);
    results.RegisterObserver(&forward);
    ASSERT_TRUE(results.StartSearch());
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (results.Searching() && std::chrono::steady_clock::now() < deadline)
        dispatcher.RunOne(std::chrono::steady_clock::now() + 100ms);
    EXPECT_EQ(Names(), (TNames{"cat.jpg", "cat2.jpg"}));
    EXPECT_GT(fNotices.CountOf(TFileListChangeKind::fcInsert), 0);
    ASSERT_TRUE(fList->Refresh());
    EXPECT_EQ(fList->Count(), 2);
    results.UnregisterObserver(&forward);
}

TEST_F(ShellListTest, AFailedSetterKeepsThePlace)
{
    File("a.jpg");
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    EXPECT_FALSE(fList->SetFolder(fTemp.File("missing/")));
    EXPECT_FALSE(fList->LastError().empty());
    EXPECT_FALSE(fList->SetShelf(3));
    EXPECT_FALSE(fList->SetFolder("relative/path"));
    EXPECT_EQ(fList->Content(), lcoFolder);
    EXPECT_EQ(fList->Folder()->GetPath(), fs::path(fTemp.Path()).parent_path().string());
    EXPECT_EQ(Names(), TNames{"a.jpg"});
}

TEST_F(ShellListTest, RowsAreBoundsChecked)
{
    File("a.jpg");
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    for (int row : {-1, 1, 100}) {
        EXPECT_EQ(fList->Node(row), nullptr);
        EXPECT_EQ(fList->Text(row, 0), "");
        EXPECT_EQ(fList->IconIndex(row), -1);
        EXPECT_EQ(fList->Open(row).Kind, TOpenKind::okNothing);
        EXPECT_FALSE(fList->CanRename(row));
    }
    EXPECT_EQ(fList->Text(0, 9), "");
    EXPECT_EQ(fList->CollectionAt(0), nullptr);
    fList->Select({.Focused = 7, .Selected = {5, 0, 0, -2}});
    EXPECT_EQ(fList->Selection(), (TListSelection{.Focused = -1, .Selected = {0}}));
}

struct TSortCase {
    const char* Name;
    int Column;
    TSortDir Dir;
    TNames Expected;
};

class ShellListSortTest : public ShellListTest, public ::testing::WithParamInterface<TSortCase> {};

// Two folders and three files: b.txt is the largest and oldest, 10.txt the
// newest, 2.txt in between.
TEST_P(ShellListSortTest, SortsByTheColumn)
{
    Dir("sub");
    Dir("Alpha");
    File("b.txt", 300, 0);
    File("10.txt", 20, 30);
    File("2.txt", 100, 20);
    fs::last_write_time(fTemp.File("sub"), fs::file_time_type(std::chrono::hours(480000) + std::chrono::minutes(5)));
    fs::last_write_time(fTemp.File("Alpha"), fs::file_time_type(std::chrono::hours(480000) + std::chrono::minutes(9)));
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    fList->SetSortOrder({GetParam().Column, GetParam().Dir});
    EXPECT_EQ(Names(), GetParam().Expected);
}

const TSortCase SortCases[] = {
    {"NameFoldersFirst", 0, TSortDir::sdAsc, {"Alpha", "sub", "2.txt", "10.txt", "b.txt"}},
    {"NameDescendingFilesFirst", 0, TSortDir::sdDesc, {"b.txt", "10.txt", "2.txt", "sub", "Alpha"}},
    {"Size", 1, TSortDir::sdAsc, {"Alpha", "sub", "10.txt", "2.txt", "b.txt"}},
    {"SizeDescending", 1, TSortDir::sdDesc, {"b.txt", "2.txt", "10.txt", "sub", "Alpha"}},
    {"TypeTiesByName", 2, TSortDir::sdAsc, {"Alpha", "sub", "2.txt", "10.txt", "b.txt"}},
    {"Date", 3, TSortDir::sdAsc, {"sub", "Alpha", "b.txt", "2.txt", "10.txt"}},
};

INSTANTIATE_TEST_SUITE_P(Columns, ShellListSortTest, ::testing::ValuesIn(SortCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ShellListTest, TheFolderColumnOfAShelfSortsByDirectory)
{
    File("z/a.jpg");
    File("b/c.jpg");
    File("b/d.jpg");
    Dir("m");
    fShelves.Add("棚", 0, "");
    AddPaths(*fShelves.Group(0), {fTemp.File("z/a.jpg"), fTemp.File("b/d.jpg"), fTemp.File("b/c.jpg"), fTemp.File("m")});
    ASSERT_TRUE(fList->SetShelf(0));
    EXPECT_EQ(Names(), (TNames{"m", "a.jpg", "c.jpg", "d.jpg"}));
    fList->ColumnClick(1);
    EXPECT_EQ(Names(), (TNames{"m", "c.jpg", "d.jpg", "a.jpg"}));
    EXPECT_EQ(fList->Text(1, 1), fTemp.File("b"));
    // The order is remembered for shelves, not for folders.
    ASSERT_TRUE(fList->SetFolder(fTemp.File("b")));
    EXPECT_EQ(fList->SortOrder(), (TSortOrder{0, TSortDir::sdAsc}));
    ASSERT_TRUE(fList->SetShelf(0));
    EXPECT_EQ(fList->SortOrder(), (TSortOrder{1, TSortDir::sdAsc}));
}

TEST_F(ShellListTest, ClickingCyclesAndUnsortedKeepsTheListedOrder)
{
    for (const char* name : {"c", "a", "b"})
        File(name);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    const TNames sorted{"a", "b", "c"};
    fList->SortDirs = {.Asc = true, .Desc = true, .None = true};
    fList->ColumnClick(0);
    EXPECT_EQ(Names(), (TNames{"c", "b", "a"}));
    fList->ColumnClick(0);
    EXPECT_EQ(fList->SortOrder().Dir, TSortDir::sdNone);
    TNames listed = Names();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, sorted);
    fList->ColumnClick(0);
    EXPECT_EQ(Names(), sorted);
    EXPECT_EQ(fNotices.CountOf(TFileListChangeKind::fcSortOrder), 3);
}

TEST_F(ShellListTest, TheSelectionSurvivesAReSortAndARefresh)
{
    for (const char* name : {"a", "b", "c", "d"})
        File(name);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    EXPECT_EQ(fList->Selection().Focused, 0);
    fList->Select({.Focused = 1, .Selected = {1, 3}});  // b and d
    fList->ColumnClick(0);                               // descending: d c b a
    EXPECT_EQ(fList->Selection(), (TListSelection{.Focused = 2, .Selected = {0, 2}}));
    // b goes while nobody watches: the focus passes to the row now at its index.
    fs::remove(fTemp.File("b"));
    ASSERT_TRUE(fList->Refresh());
    EXPECT_EQ(Names(), (TNames{"d", "c", "a"}));
    EXPECT_EQ(fList->Selection(), (TListSelection{.Focused = 2, .Selected = {0}}));
}

struct TDiskCase {
    const char* Name;
    const char* Steps;  // "mk x", "rm x", "mv x y", each applied on disk and reported
    TNames Expected;
    int Focus;  // after Focused started on row 1 (b)
};

class ShellListDiskTest : public ShellListTest, public ::testing::WithParamInterface<TDiskCase> {};

TEST_P(ShellListDiskTest, FollowsTheRecord)
{
    for (const char* name : {"a", "b", "c"})
        File(name);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    fList->Select({.Focused = 1, .Selected = {1}});
    std::istringstream words(GetParam().Steps);
    std::string verb, a, b;
    while (words >> verb >> a) {
        if (verb == "mk") {
            File(a, 7);
            fList->ApplyChange({ChangeKind::ckFileAdded, fTemp.File(a), ""});
        } else if (verb == "w") {
            File(a, 4000);
            fList->ApplyChange({ChangeKind::ckModified, fTemp.File(a), ""});
        } else if (verb == "rm") {
            fs::remove(fTemp.File(a));
            fList->ApplyChange({ChangeKind::ckFileRemoved, fTemp.File(a), ""});
        } else if (verb == "mv") {
            words >> b;
            fs::rename(fTemp.File(a), fTemp.File(b));
            fList->ApplyChange({ChangeKind::ckFileRenamed, fTemp.File(a), fTemp.File(b)});
        }
    }
    EXPECT_EQ(Names(), GetParam().Expected);
    EXPECT_EQ(fList->Selection().Focused, GetParam().Focus);
    for (int i = 0; i < fList->Count(); ++i)
        EXPECT_EQ(fList->IndexOfPath(fTemp.File(Names()[static_cast<size_t>(i)])), i);
}

const TDiskCase DiskCases[] = {
    {"AddedGoesToTheEndUnsorted", "mk 0", {"a", "b", "c", "0"}, 1},
    {"AddedTwiceIsListedOnce", "mk 0 mk 0", {"a", "b", "c", "0"}, 1},
    {"RemovedFocusedMovesTheFocusUp", "rm b", {"a", "c"}, 0},
    {"RemovedBeforeTheFocusKeepsTheItem", "rm a", {"b", "c"}, 0},
    {"RemovedAfterTheFocus", "rm c", {"a", "b"}, 1},
    {"RenamedInPlace", "mv b zz", {"a", "zz", "c"}, 1},
    {"RenamedOverAnother", "mv a c", {"c", "b"}, 1},
    {"RenamedOutOfTheFolder", "mv b ../b-away", {"a", "c"}, 0},
    {"ModifiedStays", "w b", {"a", "b", "c"}, 1},
    {"ModifiedUnlistedIsAdded", "w new", {"a", "b", "c", "new"}, 1},
};

INSTANTIATE_TEST_SUITE_P(Records, ShellListDiskTest, ::testing::ValuesIn(DiskCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// Ties on size fall back on the name order whichever way the names were
// last sorted, and rows added or renamed since then take their place in it;
// paths still find their rows after each re-sort.
TEST_F(ShellListTest, SizeTiesFollowTheNameOrderAfterChanges)
{
    for (const char* name : {"p10", "P2", "p1", "big"})
        File(name, std::string(name) == "big" ? 50 : 5);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    fList->SetSortOrder({0, TSortDir::sdDesc});
    fList->SetSortOrder({1, TSortDir::sdAsc});
    EXPECT_EQ(Names(), (TNames{"p1", "P2", "p10", "big"}));
    ASSERT_TRUE(fList->Rename(fList->IndexOfPath(fTemp.File("p10")), "p0"));
    fList->SetSortOrder({1, TSortDir::sdDesc});
    EXPECT_EQ(Names(), (TNames{"big", "P2", "p1", "p0"}));
    File("p3", 5);
    fList->ApplyChange({ChangeKind::ckFileAdded, fTemp.File("p3"), ""});
    fList->SetSortOrder({1, TSortDir::sdDesc});
    EXPECT_EQ(Names(), (TNames{"big", "p3", "P2", "p1", "p0"}));
    for (int row = 0; row < fList->Count(); ++row)
        EXPECT_EQ(fList->IndexOfPath(fTemp.File(fList->Text(row, 0))), row);
}

TEST_F(ShellListTest, AModifiedRowIsReadAgain)
{
    File("a", 10);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    fList->SetOptions({.SizeUnit = TSizeUnit::suBytes});
    EXPECT_EQ(fList->Text(0, 1), "10");
    File("a", 1234567);
    fList->ApplyChange({ChangeKind::ckModified, fTemp.File("a"), ""});
    EXPECT_EQ(fList->Text(0, 1), "1,234,567");
    fList->SetOptions({.SizeUnit = TSizeUnit::suKiloBytes});
    EXPECT_EQ(fList->Text(0, 1), "1,206 KB");
    fList->SetOptions({.SizeUnit = TSizeUnit::suBest});
    EXPECT_EQ(fList->Text(0, 1), "1.2 MB");
    EXPECT_FALSE(fList->Text(0, 3).empty());
}

TEST_F(ShellListTest, TheListedFolderGoneGoesUp)
{
    Dir("x/y/z");
    File("x/keep");
    ASSERT_TRUE(fList->SetFolder(fTemp.File("x/y/z")));
    fs::remove_all(fTemp.File("x/y"));
    fList->ApplyChange({ChangeKind::ckFolderGone, fTemp.File("x/y/z/"), ""});
    EXPECT_EQ(fList->Folder()->GetPath(), fTemp.File("x"));
    EXPECT_EQ(Names(), TNames{"keep"});
}

TEST_F(ShellListTest, AFileMadeInTheWatchedFolderArrives)
{
    TQueueDispatcher dispatcher;
    TDirChangeNotifier notifier(dispatcher, {.Delay = 20ms, .DelayCeiling = 1s});
    Build({.Notifier = &notifier});
    for (const char* name : {"b", "c"})
        File(name);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    File("a");
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (fList->Count() < 3 && std::chrono::steady_clock::now() < deadline)
        dispatcher.RunOne(std::chrono::steady_clock::now() + 20ms);
    EXPECT_EQ(Names(), (TNames{"b", "c", "a"}));
    // Another place ends the watch.
    ASSERT_TRUE(fList->SetRoot());
    EXPECT_EQ(notifier.SystemWatchCount(), 0u);
    fList.reset();
}

TEST_F(ShellListTest, TheListOfShelvesFollowsTheShelfList)
{
    for (const char* name : {"one", "two", "three"})
        fShelves.Add(name, 0, "");
    ASSERT_TRUE(fList->SetShelves());
    fList->Select({.Focused = 2, .Selected = {2}});
    fShelves.Add("four", 0, "note");
    EXPECT_EQ(fList->Count(), 4);
    EXPECT_EQ(fList->Text(3, 1), "note");
    fShelves.Move(2, 0);  // three one two four
    EXPECT_EQ(fList->Selection(), (TListSelection{.Focused = 0, .Selected = {0}}));
    fShelves.Delete(1);  // three two four
    EXPECT_EQ(fList->Count(), 3);
    EXPECT_EQ(fList->Text(1, 0), "two");
    fShelves.Group(2)->SetComment("new");
    EXPECT_EQ(fList->Text(2, 1), "new");
    fList->ColumnClick(0);
    EXPECT_EQ(fList->Text(0, 0), "four");
    EXPECT_EQ(fList->KeyOf(fList->Selection().Focused), "three");
    EXPECT_EQ(fList->Open(1).Place, (TTreePlace{.Kind = TTreePlaceKind::tpShelf, .ListIndex = 1}));
}

TEST_F(ShellListTest, OneShelfFollowsItsMembers)
{
    File("a.jpg");
    File("b.jpg");
    fShelves.Add("zero", 0, "");
    fShelves.Add("棚", 0, "");
    AddPaths(*fShelves.Group(1), {fTemp.File("a.jpg"), fTemp.File("gone.jpg")});
    ASSERT_TRUE(fList->SetShelf(1));
    EXPECT_EQ(Names(), (TNames{"a.jpg", "gone.jpg"}));
    EXPECT_TRUE(fList->IsDimmed(1));
    EXPECT_EQ(fList->Text(1, 2), "");
    AddPaths(*fShelves.Group(1), {fTemp.File("b.jpg")});
    EXPECT_EQ(Names(), (TNames{"a.jpg", "gone.jpg", "b.jpg"}));
    fShelves.Group(1)->DeleteItem(0);
    EXPECT_EQ(Names(), (TNames{"gone.jpg", "b.jpg"}));
    fShelves.Delete(0);
    EXPECT_EQ(fList->ListIndex(), 0);
    fShelves.Delete(0);
    EXPECT_EQ(fList->Count(), 0);
    EXPECT_EQ(fList->ListIndex(), -1);
}

struct TRenameCase {
    const char* Name;
    const char* From;
    bool EditExtension;
    bool AddExtension;
    const char* Edit;   // the edit's starting text
    const char* Typed;
    const char* Result;
};

class ShellListRenameTest : public ShellListTest, public ::testing::WithParamInterface<TRenameCase> {};

TEST_P(ShellListRenameTest, RenamesTheFile)
{
    const TRenameCase& c = GetParam();
    File(c.From);
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    fList->SetOptions({.EditExtension = c.EditExtension, .AddExtension = c.AddExtension});
    ASSERT_TRUE(fList->CanRename(0));
    EXPECT_EQ(fList->EditText(0), c.Edit);
    EXPECT_TRUE(fList->Rename(0, c.Typed));
    EXPECT_EQ(Names(), TNames{c.Result});
    EXPECT_TRUE(fs::exists(fTemp.File(c.Result)));
    EXPECT_EQ(fList->IndexOfPath(fTemp.File(c.Result)), 0);
}

const TRenameCase RenameCases[] = {
    {"AddExtension", "a.jpg", true, true, "a.jpg", "b", "b.jpg"},
    {"AddExtensionKeepsANewOne", "a.jpg", true, true, "a.jpg", "b.png", "b.png"},
    {"PlainEdit", "a.jpg", true, false, "a.jpg", " b ", "b"},
    {"ExtensionNotEdited", "a.jpg", false, false, "a", "b", "b.jpg"},
    {"DotFileEditedWhole", ".rc", false, false, ".rc", ".rd", ".rd"},
};

INSTANTIATE_TEST_SUITE_P(Names, ShellListRenameTest, ::testing::ValuesIn(RenameCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ShellListTest, RenameRefusals)
{
    File("a.jpg");
    File("b.jpg");
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    EXPECT_FALSE(fList->Rename(0, "a.jpg"));
    EXPECT_THROW(fList->Rename(0, "b.jpg"), EFileError);
    EXPECT_EQ(Names(), (TNames{"a.jpg", "b.jpg"}));
    fShelves.Add("one", 0, "");
    fShelves.Add("two", 0, "");
    ASSERT_TRUE(fList->SetShelves());
    EXPECT_THROW(fList->Rename(0, "TWO"), EMirevaError);
    EXPECT_TRUE(fList->Rename(0, "uno"));
    EXPECT_EQ(fList->Text(0, 0), "uno");
}

TEST_F(ShellListTest, OpeningTellsTheWindowWhatToDo)
{
    Dir("d");
    File("book.zip");
    File("page.jpg");
    fShelves.Add("棚", 0, "");
    AddPaths(*fShelves.Group(0), {fTemp.File("d")});
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    const TOpenResult folder = fList->Open(0);
    EXPECT_EQ(folder.Kind, TOpenKind::okPlace);
    EXPECT_EQ(folder.Place, (TTreePlace{.Kind = TTreePlaceKind::tpFolder, .Path = fTemp.File("d/")}));
    const TOpenResult archive = fList->Open(1);
    EXPECT_EQ(archive.Kind, TOpenKind::okArchive);
    EXPECT_EQ(archive.Path, fTemp.File("book.zip"));
    EXPECT_EQ(archive.Context.Kind, TTreePlaceKind::tpFolder);
    EXPECT_EQ(fList->Open(2).Kind, TOpenKind::okFile);
    EXPECT_EQ(fList->Open(2).Row, 2);
    EXPECT_EQ(fList->Find("PA", 0), 2);
    EXPECT_EQ(fList->Find("b", 2), 1);
    // A shelf member's folder goes back up to the shelf.
    ASSERT_TRUE(fList->SetShelf(0));
    ASSERT_TRUE(fList->SetPlace(fList->Open(0).Place));
    EXPECT_EQ(fList->Place().Kind, TTreePlaceKind::tpShelfMember);
    ASSERT_TRUE(fList->GoUp());
    EXPECT_EQ(fList->Content(), lcoShelf);
}

TEST_F(ShellListTest, AMediumListsOneDirectoryFromItsCatalogue)
{
    fMedia.Add("disc", 0, "");
    TMediaFolder& medium = *fMedia.Medium(0);
    medium.Loaded = true;
    const auto add = [&](const char* path, bool dir, int64_t size) {
        auto record = std::make_unique<TCtFileInfo>();
        record->Path = path;
        record->IsDirectory = dir;
        record->Size = size;
        record->Item = TItemIdList::FromPath(std::string("/nowhere/") + path);
        medium.AddRecord(std::move(record));
    };
    add("top.jpg", false, 2048);
    add("art", true, 0);
    add("art/in.jpg", false, 5);
    medium.StoredRootId = TItemIdList::FromPath("/nowhere");
    ASSERT_TRUE(fList->SetMedium(0));
    EXPECT_EQ(Names(), (TNames{"art", "top.jpg"}));
    EXPECT_EQ(fList->Text(1, 1), "2 KB");
    // Their thumbnails are the medium's, under where it was catalogued.
    const auto thumbOf = [this](int row) { return TFileThumbSource(*fList).WorkItem(row); };
    EXPECT_EQ(thumbOf(1).Medium, "disc");
    EXPECT_EQ(thumbOf(1).MediumRoot, "/nowhere/");
    EXPECT_FALSE(thumbOf(1).Online);
    EXPECT_EQ(thumbOf(1).Size, 2048);
    EXPECT_EQ(fList->Open(1).Kind, TOpenKind::okNothing);
    ASSERT_TRUE(fList->SetPlace(fList->Open(0).Place));
    EXPECT_EQ(fList->Content(), lcoMediumFolder);
    EXPECT_EQ(Names(), TNames{"in.jpg"});

    // With the disc mounted the rows are its real files.
    fTemp.Write("live/top.jpg", std::string(3072, 'x'));
    medium.SetLivePath(ExcludeTrailingPathDelimiter(fTemp.File("live")));
    ASSERT_TRUE(fList->SetMedium(0));
    EXPECT_EQ(Names(), (TNames{"art", "top.jpg"}));
    EXPECT_EQ(fList->Text(1, 1), "3 KB");
    EXPECT_TRUE(thumbOf(1).Online);
    EXPECT_EQ(thumbOf(1).MediumRoot, fTemp.File("live/"));
}

TEST_F(ShellListTest, AFolderFoundInACatalogueOpensInTheCatalogue)
{
    fMedia.Add("disc", 0, "");
    TMediaFolder& medium = *fMedia.Medium(0);
    medium.Loaded = true;
    for (const auto& [path, dir] : {std::pair{"art", true}, {"art/in.jpg", false}, {"art.jpg", false}}) {
        auto record = std::make_unique<TCtFileInfo>();
        record->Path = path;
        record->IsDirectory = dir;
        record->Item = TItemIdList::FromPath(std::string("/nowhere/") + path);
        medium.AddRecord(std::move(record));
    }
    TQueueDispatcher dispatcher;
    TSearchFolder results(dispatcher, &fShelves);
    results.MediaSource = [this](const TSearchTargetSpec& target) { return MediumSourceFor(fMedia, target); };
    TSearchConditions conditions;
    conditions.Limits.Mask = "art*";
    results.SetConditions(conditions);
    results.SetTargets({{TSearchTargetKind::tkMedium, "disc", true}});
    ASSERT_TRUE(results.StartSearch());
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (results.Searching() && std::chrono::steady_clock::now() < deadline)
        dispatcher.RunOne(std::chrono::steady_clock::now() + 100ms);
    dispatcher.RunPending();
    ASSERT_TRUE(fList->SetSearch(results));
    ASSERT_EQ(fList->Count(), 2);
    const int folder = fList->Text(0, 0) == "art" ? 0 : 1;
    EXPECT_EQ(fList->Open(1 - folder).Kind, TOpenKind::okNothing);  // no disc to read the file from
    const TOpenResult open = fList->Open(folder);
    ASSERT_EQ(open.Kind, TOpenKind::okPlace);
    EXPECT_EQ(open.Place.Kind, TTreePlaceKind::tpMediumFolder);
    ASSERT_TRUE(fList->SetPlace(open.Place));
    EXPECT_EQ(Names(), TNames{"in.jpg"});
}

}  // namespace

namespace {

// Rows removed one after another keep the path index right: every row that
// stays is found at its place, every removed one nowhere.
TEST_F(ShellListTest, ManyRemovalsKeepThePathIndex)
{
    for (int i = 0; i < 30; ++i)
        File("f" + std::to_string(i));
    ASSERT_TRUE(fList->SetFolder(fTemp.Path()));
    for (int i = 0; i < 30; i += 3) {
        fs::remove(fTemp.File("f" + std::to_string(i)));
        fList->ApplyChange({ChangeKind::ckFileRemoved, fTemp.File("f" + std::to_string(i)), {}});
    }
    ASSERT_EQ(fList->Count(), 20);
    for (int i = 0; i < 30; ++i) {
        const int row = fList->IndexOfPath(fTemp.File("f" + std::to_string(i)));
        if (i % 3 == 0)
            EXPECT_EQ(row, -1) << i;
        else
            EXPECT_EQ(fList->Text(row, 0), "f" + std::to_string(i));
    }
}

}  // namespace
