#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/QueueDispatcher.h"
#include "collections/Search.h"
#include "collections/SearchSettings.h"
#include "collections/Shelf.h"
#include "common/IniFile.h"
#include "common/BfStream.h"
#include "common/DateTime.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

// Collects what a walker delivers, on the calling thread.
class TCollectSink : public TSearchSink {
public:
    bool Stopped() const override { return false; }
    void Progress(const std::string& text) override { ++Announced[text]; }
    void Deliver(TSearchBatch batch) override { Batches.push_back(std::move(batch)); }

    // The found names relative to base, in the order delivered.
    std::vector<std::string> Names(const std::string& base) const
    {
        std::vector<std::string> names;
        for (const TSearchBatch& batch : Batches)
            for (const TGroupFileInfo& record : batch.Records)
                names.push_back(record.Path.substr(base.size()));
        return names;
    }

    std::map<std::string, int> Announced;
    std::vector<TSearchBatch> Batches;
};

TSearchConditions Named(const std::string& text)
{
    TSearchConditions conditions;
    conditions.Limits.Mask = text;
    conditions.TakeFolders = false;
    return conditions;
}

// A tree for the name, size and folder conditions. "big" is sparse: 5 GiB
// that take no room.
void MakeTree(const TTempFolder& temp)
{
    for (const char* name : {"cat.jpg", "dog.jpg", "catdog.png", "bird.gif", "a.jpg", "b.png", "c.gif", "sub/cat2.jpg",
                             ".hidden/cat3.jpg", ".cat4.jpg"})
        temp.Write(std::string("t/") + name, "x");
    temp.Write("t/mega.bin", std::string(1048576, 'm'));
    temp.Write("t/big.bin", "");
    std::filesystem::resize_file(temp.File("t/big.bin"), int64_t(5) << 30);
}

struct TConditionRow {
    const char* Text;
    int64_t AtLeast = -1;  // a size limit in bytes, when >= 0
    int64_t AtMost = -1;
    bool Folders = false;
    bool Hidden = false;
    std::vector<std::string> Expected;  // sorted
};

class SearchConditionTest : public ::testing::TestWithParam<std::tuple<TConditionRow, bool>> {};

TEST_P(SearchConditionTest, FindsWhatTheConditionSaysWithAndWithoutCache)
{
    const auto& [row, withCache] = GetParam();
    TTempFolder temp;
    MakeTree(temp);
    TSearchConditions conditions = Named(row.Text);
    if (row.AtLeast >= 0 || row.AtMost >= 0) {
        conditions.Limits.UseSize = true;
        conditions.Limits.AtLeast = row.AtLeast >= 0;
        conditions.Limits.Size = row.AtLeast >= 0 ? row.AtLeast : row.AtMost;
    }
    conditions.TakeFolders = row.Folders;
    conditions.TakeHidden = row.Hidden;
    const TSearchFilter filter(conditions);
    TSearchCache cache;
    TCollectSink sink;
    TSearchWalker walker(filter, withCache ? &cache : nullptr, sink);
    walker.SearchDirectory(temp.File("t"));
    std::vector<std::string> names = sink.Names(temp.File("t/"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, row.Expected);
    if (withCache) {
        // A second search over the warm cache finds the same.
        TCollectSink again;
        TSearchWalker warm(filter, &cache, again);
        warm.SearchDirectory(temp.File("t"));
        std::vector<std::string> warmNames = again.Names(temp.File("t/"));
        std::sort(warmNames.begin(), warmNames.end());
        EXPECT_EQ(warmNames, row.Expected);
    }
}

const int64_t GiB = int64_t(1) << 30;

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchConditionTest,
    ::testing::Combine(
        ::testing::Values(
            TConditionRow{"cat dog", -1, -1, false, false, {"catdog.png"}},
            TConditionRow{"cat;dog", -1, -1, false, false, {"catdog.png"}},
            TConditionRow{"cat or dog", -1, -1, false, false, {"cat.jpg", "catdog.png", "dog.jpg", "sub/cat2.jpg"}},
            TConditionRow{"cat -dog", -1, -1, false, false, {"cat.jpg", "sub/cat2.jpg"}},
            TConditionRow{"cat not dog", -1, -1, false, false, {"cat.jpg", "sub/cat2.jpg"}},
            TConditionRow{"*.jpg or *.png", -1, -1, false, false,
                          {"a.jpg", "b.png", "cat.jpg", "catdog.png", "dog.jpg", "sub/cat2.jpg"}},
            TConditionRow{"*.gif", -1, -1, false, false, {"bird.gif", "c.gif"}},
            TConditionRow{"*.*", 1048576, -1, false, false, {"big.bin", "mega.bin"}},
            TConditionRow{"", 1048577, -1, false, false, {"big.bin"}},
            TConditionRow{"*", -1, 1048576, false, false,
                          {"a.jpg", "b.png", "bird.gif", "c.gif", "cat.jpg", "catdog.png", "dog.jpg", "mega.bin",
                           "sub/cat2.jpg"}},
            // Sizes beyond 32 bits compare in full.
            TConditionRow{"*.bin", -1, 4 * GiB, false, false, {"mega.bin"}},
            TConditionRow{"*.bin", 4 * GiB, -1, false, false, {"big.bin"}},
            // Folders are never rejected by the size.
            TConditionRow{"sub", 4 * GiB, -1, true, false, {"sub"}},
            TConditionRow{"cat", -1, -1, true, true, {".cat4.jpg", ".hidden/cat3.jpg", "cat.jpg", "catdog.png", "sub/cat2.jpg"}}),
        ::testing::Bool()));

TEST(SearchWalker, ReadsEachFolderOnceAndNeverFollowsALinkToAFolder)
{
    TTempFolder temp;
    temp.Write("root/p10.jpg", "x");
    temp.Write("root/p2.jpg", "x");
    temp.Write("root/inner/p1.jpg", "x");
    std::filesystem::create_directory_symlink(temp.File("root"), temp.File("root/inner/loop"));
    std::filesystem::create_symlink(temp.File("root/p2.jpg"), temp.File("root/link.jpg"));
    for (bool withCache : {false, true}) {
        const TSearchFilter filter(Named("*.jpg"));
        TSearchCache cache;
        TCollectSink sink;
        TSearchWalker walker(filter, withCache ? &cache : nullptr, sink);
        // The inner folder is a target of its own and a sub-folder of root.
        walker.SearchDirectory(temp.File("root/inner/"));
        walker.SearchDirectory(temp.File("root"));
        EXPECT_EQ(sink.Names(temp.File("root/")),
                  (std::vector<std::string>{"inner/p1.jpg", "link.jpg", "p2.jpg", "p10.jpg"}));
        for (const auto& [directory, times] : sink.Announced)
            EXPECT_EQ(times, 1) << directory;
        EXPECT_EQ(sink.Announced.count(temp.File("root/inner/loop")), 0u);
    }
}

TEST(SearchPaths, CompareFolderByFolderInNameOrder)
{
    EXPECT_LT(ComparePaths("/a/p2.jpg", "/a/p10.jpg"), 0);
    EXPECT_GT(ComparePaths("/a/z.jpg", "/a/b/a.jpg"), 0);
    EXPECT_LT(ComparePaths("/a/b", "/a/b/c"), 0);
    // A folder sorts before the longer names it begins, whatever the bytes
    // that follow it ('-' is below '/').
    EXPECT_LT(ComparePaths("/a/x", "/a-b/x"), 0);
    EXPECT_NE(ComparePaths("/a/X", "/a/x"), 0);
    EXPECT_EQ(ComparePaths("/a/x", "/a/x"), 0);
}

// Runs a search folder's tasks until its search ends (at most 30 s).
void Finish(TQueueDispatcher& dispatcher, TSearchFolder& folder)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (folder.Searching() && std::chrono::steady_clock::now() < deadline)
        dispatcher.RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    ASSERT_FALSE(folder.Searching());
}

class TChangeLog : public TSearchObserver {
public:
    void SearchChanged(TSearchFolder&, const TSearchChange& change) override
    {
        if (change.Kind == TSearchChangeKind::scFound)
            Found += change.Count;
        if (change.Kind == TSearchChangeKind::scFinished)
            ++Finished;
    }
    int Found = 0;
    int Finished = 0;
};

TEST(SearchFolder, AReplacedSearchDeliversNothing)
{
    TTempFolder temp;
    for (int i = 0; i < 50; ++i)
        temp.Write("old/d" + std::to_string(i) + "/a.jpg", "x");
    temp.Write("new/b.jpg", "x");
    TQueueDispatcher dispatcher;
    TSearchFolder folder(dispatcher, nullptr);
    TChangeLog log;
    folder.RegisterObserver(&log);
    folder.SetConditions(Named("*.jpg"));
    folder.SetTargets({{TSearchTargetKind::tkFolder, temp.File("old"), true}});
    ASSERT_TRUE(folder.StartSearch());
    // The old search's tasks wait in the queue while the new one starts.
    folder.SetTargets({{TSearchTargetKind::tkFolder, temp.File("new"), true}});
    ASSERT_TRUE(folder.StartSearch());
    Finish(dispatcher, folder);
    dispatcher.RunPending();
    ASSERT_EQ(folder.Count(), 1);
    EXPECT_EQ(folder.Key(0), temp.File("new/b.jpg"));
    EXPECT_EQ(log.Found, 1);
    EXPECT_EQ(folder.TargetCount(), 1);
    EXPECT_EQ(folder.ItemInfo(0)->TargetIndex, 0);
    EXPECT_EQ(folder.ParentNode(folder.ItemInfo(0)->ParentIndex)->GetPath(), temp.File("new"));
}

TEST(SearchFolder, TasksLeftBehindByAFreedFolderDoNothing)
{
    TTempFolder temp;
    temp.Write("d/a.jpg", "x");
    TQueueDispatcher dispatcher;
    {
        TSearchFolder folder(dispatcher, nullptr);
        folder.SetConditions(Named("*.jpg"));
        folder.SetTargets({{TSearchTargetKind::tkFolder, temp.File("d"), true}});
        ASSERT_TRUE(folder.StartSearch());
    }
    // At least the end of the search was posted; under the address checker
    // a task that used the freed folder would end the test.
    EXPECT_GT(dispatcher.RunPending(), 0u);
}

TEST(SearchFolder, NoTargetStartsNothing)
{
    TTempFolder temp;
    TQueueDispatcher dispatcher;
    TGroupList shelves;
    TSearchFolder folder(dispatcher, &shelves);
    folder.SetTargets({{TSearchTargetKind::tkFolder, temp.File("missing"), true},
                       {TSearchTargetKind::tkShelf, "Gone", true},
                       {TSearchTargetKind::tkFolder, temp.Path(), false},
                       {TSearchTargetKind::tkMedium, "", true}});
    EXPECT_FALSE(folder.StartSearch());
    EXPECT_FALSE(folder.Searching());
}

TEST(SearchFolder, ShelfResultsGoWithTheirShelf)
{
    TTempFolder temp;
    temp.Write("s/cat.jpg", "x");
    temp.Write("s/in/cat2.jpg", "x");
    temp.Write("other/cat3.jpg", "x");
    TGroupList shelves;
    shelves.Add("First", 0, "");
    shelves.Add("Second", 0, "");
    AddPaths(*shelves.Group(0), {temp.File("s/cat.jpg"), temp.File("s/in")});
    AddPaths(*shelves.Group(1), {temp.File("other/cat3.jpg")});
    TQueueDispatcher dispatcher;
    TSearchFolder folder(dispatcher, &shelves);
    folder.SetConditions(Named("cat"));
    // Every shelf; the single shelf after it adds nothing.
    folder.SetTargets({{TSearchTargetKind::tkShelf, "", true}, {TSearchTargetKind::tkShelf, "Second", true}});
    ASSERT_TRUE(folder.StartSearch());
    Finish(dispatcher, folder);
    ASSERT_EQ(folder.Count(), 3);
    EXPECT_GE(folder.IndexOf(temp.File("s/in/cat2.jpg")), 0);

    shelves.Folder(1)->SetName("Zweite");
    shelves.Delete(0);
    ASSERT_EQ(folder.Count(), 1);
    EXPECT_EQ(folder.Key(0), temp.File("other/cat3.jpg"));
    const TSearchTarget* target = folder.TargetAt(folder.ItemInfo(0)->TargetIndex);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->Name, "Zweite");
    EXPECT_EQ(target->Index, 0);
}

// ---- The cache file ----

void FillSample(TSearchCache& cache)
{
    TCtFileInfo entry;
    entry.Path = "/pics/a.jpg";
    entry.Attributes = 0x20;
    entry.Size = int64_t(6) << 30;
    entry.Modified = 45000.5;
    entry.Created = 44000.25;
    entry.Accessed = 45001;
    TCtFileInfo folder;
    folder.Path = "/pics/sub";
    folder.IsDirectory = true;
    folder.Attributes = 0x10;
    cache.Add("/pics", {entry, folder});
    cache.SetMade(45002.75);
}

std::string CacheBytes(bool sample)
{
    TSearchCache cache;
    if (sample)
        FillSample(cache);
    TTempFolder temp;
    {
        TFileStream file(temp.File("c"), TFileMode::fmCreate);
        WriteSearchCache(cache, file);
    }
    return temp.Read("c");
}

TEST(SearchCacheFile, KeepsItsLayoutAndEveryValue)
{
    const std::string bytes = CacheBytes(true);
    // Signature, version 256, the date, one directory.
    ASSERT_GE(bytes.size(), 26u + 4 + 8 + 4);
    EXPECT_EQ(bytes.substr(0, 26), std::string("\x16\0\0\0Mireva SearchCacheList", 26));
    EXPECT_EQ(bytes.substr(26, 4), std::string("\0\1\0\0", 4));
    EXPECT_EQ(bytes.size(), 26u + 4 + 8 + 4 + (4 + 5) + 4 + 2 * (4 + 37) + 11 + 9);

    TTempFolder temp;
    temp.Write("home/Search.lst", bytes);
    TSearchCacheStore store(temp.File("home"));
    TSearchCache read;
    const auto loaded = store.Load(read);
    EXPECT_TRUE(loaded.Found && loaded.HasDate && !loaded.SetAside);
    EXPECT_EQ(read.Made(), 45002.75);
    const auto entries = read.Find("/pics");
    ASSERT_TRUE(entries && entries->size() == 2);
    EXPECT_EQ((*entries)[0].Size, int64_t(6) << 30);
    EXPECT_EQ((*entries)[0].Created, 44000.25);
    EXPECT_TRUE((*entries)[1].IsDirectory);
    store.Save(read);
    EXPECT_EQ(temp.Read("home/Search.lst"), bytes);
}

TEST(SearchCacheFile, EveryTruncationIsSetAsideAndTheCacheStartsEmpty)
{
    const std::string bytes = CacheBytes(true);
    for (size_t length = 1; length < bytes.size(); ++length) {
        TTempFolder temp;
        temp.Write("Search.lst", bytes.substr(0, length));
        TSearchCacheStore store(temp.Path());
        TSearchCache cache;
        cache.Add("/stale", {});
        const auto loaded = store.Load(cache);
        EXPECT_TRUE(loaded.SetAside) << length;
        EXPECT_EQ(cache.Count(), 0) << length;
        EXPECT_FALSE(PathExists(store.FilePath())) << length;
        EXPECT_EQ(temp.Read("Search.lst.bak"), bytes.substr(0, length)) << length;
    }
}

TEST(SearchCacheFile, AnAbsurdCountIsDamageNotAnAllocation)
{
    std::string bytes = CacheBytes(false);
    bytes.replace(bytes.size() - 4, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    TTempFolder temp;
    temp.Write("Search.lst", bytes);
    TSearchCacheStore store(temp.Path());
    TSearchCache cache;
    EXPECT_TRUE(store.Load(cache).SetAside);
}

TEST(CliSearch, PrintsResultsInNameOrderFromFoldersAndShelves)
{
    TTempFolder home;
    for (const char* name : {"p10.jpg", "p2.jpg", "P1.png", "notes.txt", "sub/p3.jpg", "sub/big.jpg"})
        home.Write(std::string("dir/") + name, "xx");
    home.Write("dir/sub/big.jpg", std::string(2048, 'b'));
    const std::string dir = home.File("dir");
    EXPECT_EQ(RunCli(home.Path(), "search --name '*.jpg' '" + dir + "'").Out,
              dir + "/p2.jpg\n" + dir + "/p10.jpg\n" + dir + "/sub/big.jpg\n" + dir + "/sub/p3.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --name '*.jpg' --size-min 2048 '" + dir + "'").Out, dir + "/sub/big.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --name 'p -1' --no-subfolders '" + dir + "'").Out,
              dir + "/p2.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --folders --name sub '" + dir + "'").Out, dir + "/sub/\n");

    ASSERT_EQ(RunCli(home.Path(), "shelf add Books '" + dir + "/P1.png' '" + dir + "/sub'").ExitCode, 0);
    EXPECT_EQ(RunCli(home.Path(), "search --name 'P1 or p3' 'shelf:*'").Out, dir + "/P1.png\n" + dir + "/sub/p3.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --name 'P1 or p3' shelf:books").Out, dir + "/P1.png\n" + dir + "/sub/p3.jpg\n");
    EXPECT_NE(RunCli(home.Path(), "search shelf:Missing").ExitCode, 0);
    const TCliRun media = RunCli(home.Path(), "search 'media:*'");
    EXPECT_NE(media.ExitCode, 0);
    EXPECT_NE(media.Err.find("media"), std::string::npos);
    EXPECT_NE(RunCli(home.Path(), "search --size-min 1 --size-max 2 '" + dir + "'").ExitCode, 0);
}

TEST(CliSearch, SearchesACatalogueWhileItsMediumIsAway)
{
    TTempFolder home;
    for (const char* name : {"p10.jpg", "p2.jpg", "notes.txt", "sub/p3.jpg", ".hidden/p4.jpg"})
        home.Write(std::string("disc/") + name, "xx");
    home.Write("disc/sub/big.jpg", std::string(2048, 'b'));
    ASSERT_EQ(RunCli(home.Path(), "media add '" + home.File("disc") + "' --name Disc --label L --serial 1234ABCD").ExitCode,
              0);
    ASSERT_EQ(std::rename(home.File("disc").c_str(), home.File("gone").c_str()), 0);
    EXPECT_EQ(RunCli(home.Path(), "search --name '*.jpg' media:Disc").Out,
              "media:Disc//p2.jpg\nmedia:Disc//p10.jpg\nmedia:Disc//sub/big.jpg\nmedia:Disc//sub/p3.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --name '*.jpg' --size-min 2048 'media:*'").Out, "media:Disc//sub/big.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --name 'p*' --no-subfolders --folders media:Disc").Out,
              "media:Disc//p2.jpg\nmedia:Disc//p10.jpg\n");
    EXPECT_EQ(RunCli(home.Path(), "search --hidden --name p4 media:Disc").Out, "media:Disc//.hidden/p4.jpg\n");
    EXPECT_NE(RunCli(home.Path(), "search media:Other").ExitCode, 0);
}

}  // namespace

namespace {

struct TSettingsRow {
    const char* Ini;
    TSearchPanelSettings Expected;
    bool OldKeys = false;
};

TSearchPanelSettings With(const std::function<void(TSearchPanelSettings&)>& change)
{
    TSearchPanelSettings s;
    s.DateFrom = s.DateTo = 45000;  // "today" of the test
    change(s);
    return s;
}

class SearchSettingsTest : public ::testing::TestWithParam<TSettingsRow> {};

TEST_P(SearchSettingsTest, ReadsTheSectionAsThePanelKeepsIt)
{
    TIniFile ini;
    ini.LoadFromText(std::string("[SEARCH]\n") + GetParam().Ini);
    bool old = false;
    const TSearchPanelSettings read = LoadSearchSettings(ini, 45000.5, &old);
    EXPECT_EQ(read, GetParam().Expected);
    EXPECT_EQ(old, GetParam().OldKeys);
    // What is written reads back the same.
    TIniFile written;
    SaveSearchSettings(written, read);
    EXPECT_EQ(LoadSearchSettings(written, 45000.5), read);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchSettingsTest,
    ::testing::Values(
        TSettingsRow{"", With([](auto&) {})},
        TSettingsRow{"Size=10000000\nMonth=0\nDay=101\nDateSetType=7\nDateType=3\n", With([](auto&) {})},
        TSettingsRow{"Size=2048\nSizeKind=0\nCheckSize=1\nDateSetType=2\nDateType=2\nDateFrom=2023/03/01\n"
                     "DateTo=2023/02/01\n",
                     With([](auto& s) {
                         s.SizeKb = 2048;
                         s.SizeAtLeast = false;
                         s.CheckSize = true;
                         s.DateSetType = TDateSetType::dsDates;
                         s.DateKind = TDateKind::dkBetween;
                         s.DateFrom = s.DateTo = *ParseIniDate("2023/03/01");
                     })},
        // Targets count only while fixed; unknown kinds are folders.
        TSettingsRow{"Fix=1\nTarget1=/pics\nTargetKind1=9\nTarget2=\nTargetKind2=1\nTargetCheck2=0\n",
                     With([](auto& s) {
                         s.Fix = true;
                         s.Targets = {{TSearchTargetKind::tkFolder, "/pics", true},
                                      {TSearchTargetKind::tkShelf, "", false}};
                     })},
        TSettingsRow{"Target1=/pics\nFolder1=/old\nAllShelf=1\nKind=2\n", With([](auto&) {}), true}));

TEST(SearchHistory, NewestFirstWithoutRepeatsAndCut)
{
    TSearchHistory history;
    for (const char* name : {"a", "b", " a ", "", "c"})
        history.Push(name, 2);
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"c", "a"}));
    TIniFile ini;
    ini.LoadFromText("[SEARCH]\nName1=x\nName2=y\nName3=z\nName5=w\n");
    history.Save(ini);
    TSearchHistory read;
    read.Load(ini, 10);
    EXPECT_EQ(read.Items(), history.Items());
    EXPECT_FALSE(ini.ValueExists("SEARCH", "Name5"));
}

TEST(SearchCacheLabel, ShowsTheMinuteTheCacheWasMade)
{
    EXPECT_EQ(CacheLabelText(*ParseIniDate("2024/05/06") + 0.5), "キャッシュ： 2024/05/06 12:00");
    EXPECT_EQ(CacheLabelText(0), "キャッシュ：");
}

}  // namespace
