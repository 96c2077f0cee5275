#include <gtest/gtest.h>

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "collections/Shelf.h"
#include "shellviews/ShellTree.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"

namespace {

using enum TActionId;
constexpr TWalkDirection Fwd = TWalkDirection::wdForward;
constexpr TWalkDirection Back = TWalkDirection::wdBackward;

std::string BmpPage(int width)
{
    TBitmap bitmap(width, 8, 24, true);
    const std::vector<uint8_t> bytes = EncodeBmpFile(bitmap);
    return std::string(bytes.begin(), bytes.end());
}

class Messages : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override { Texts.push_back(text); }
    std::vector<std::string> Texts;
};

class NavigationTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args, const std::string& settings = {})
    {
        std::vector<std::string> all = args;
        if (!settings.empty()) {
            fProgram.Tree.Write("work/set.lys", settings);
            all.insert(all.begin(), {"-s", File("work/set.lys")});
        }
        fCore = fProgram.Start(all, TLoaders::ldShipped);
        TBrowserSources sources;
        sources.Shelves = &fShelves;
        fModel = std::make_unique<TBrowserModel>(*fCore, fMessages, nullptr, sources);
        fModel->Viewer().SetClientSize(400, 300);
        fModel->DeferredStart();
    }
    void TearDown() override
    {
        fModel.reset();
        fCore.reset();
    }
    std::string File(const std::string& name) const { return fProgram.Tree.File(name); }
    void Zip(const std::string& name, const std::vector<std::string>& members)
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (size_t i = 0; i < members.size(); ++i)
            files.emplace_back(members[i], BmpPage(static_cast<int>(i) + 4));
        ForceDirectories(ExtractFilePath(File(name)));
        WriteZip(File(name), files);
    }
    // Where the model is: "folder/" below work/, or "archive.zip:inner/".
    std::string Place() const
    {
        const TShownPlace place = fModel->ShownPlace();
        const std::string work = File("work/");
        const auto below = [&](const std::string& path) {
            return path.compare(0, work.size(), work) == 0 ? path.substr(work.size()) : path;
        };
        if (place.Kind == TPlaceKind::pkArchive)
            return below(place.ArchivePath) + ":" + place.ArchiveFolder;
        return below(place.Folder);
    }

    TFakeProgram fProgram;
    Messages fMessages;
    TGroupList fShelves;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TBrowserModel> fModel;
};

// A series of three books: reading on past the last page of one opens the
// next at its first page; going back past the first page opens the previous
// one at its last page.
TEST_F(NavigationTest, PassingTheEndOfABookOpensTheNeighbouringBook)
{
    for (const char* book : {"work/series/1.zip", "work/series/2.zip", "work/series/3.zip"})
        Zip(book, {"a.bmp", "b.bmp", "c.bmp"});
    Start({"series/2.zip"}, "[MOVE]\nLastFileMove=1\n[IMAGE]\nViewMode=1\n");
    ASSERT_EQ(fModel->ShownFile(), File("work/series/2.zip") + "//a.bmp");
    fModel->RunAction(actLast);
    ASSERT_EQ(fModel->ShownFile(), File("work/series/2.zip") + "//c.bmp");
    fModel->RunAction(actNext);
    EXPECT_EQ(fModel->ShownFile(), File("work/series/3.zip") + "//a.bmp");
    fModel->RunAction(actPrior);
    EXPECT_EQ(fModel->ShownFile(), File("work/series/2.zip") + "//c.bmp");
    EXPECT_TRUE(fMessages.Texts.empty());
}

// Spreads: the previous book is read backward from its end, so its last
// page comes with the page before it, not alone.
TEST_F(NavigationTest, APreviousBookOpensAtItsLastSpread)
{
    for (const char* book : {"work/series/1.zip", "work/series/2.zip"})
        Zip(book, {"a.bmp", "b.bmp", "c.bmp", "d.bmp"});
    Start({"series/2.zip"}, "[MOVE]\nLastFileMove=1\n[IMAGE]\nView=2\n");
    ASSERT_EQ(fModel->ShownFile(), File("work/series/2.zip") + "//a.bmp");
    fModel->RunAction(actPrior);
    ASSERT_EQ(fModel->ShownFile(), File("work/series/1.zip") + "//d.bmp");
    EXPECT_TRUE(fModel->Viewer().TravelBackward());
    EXPECT_EQ(fModel->Viewer().Shown().Partner, 2);
}

struct WalkCase {
    const char* Start;       // an archive and the folder shown inside it
    const char* StartInner;
    TWalkDirection Direction;
    const char* Expected;    // Place() afterwards
};

class NavigationWalkTest : public NavigationTest, public ::testing::WithParamInterface<WalkCase> {};

// work/shelf/ holds book.zip (p/a/, p/b/, q/), outer.zip (inner.zip with x/
// and y/, later.zip) and next.zip.
TEST_P(NavigationWalkTest, MovesInsideAndOutOfArchives)
{
    Zip("work/shelf/book.zip", {"p/a/1.bmp", "p/b/1.bmp", "q/1.bmp"});
    Zip("work/shelf/next.zip", {"1.bmp"});
    Zip("work/inner.zip", {"x/1.bmp", "y/1.bmp"});
    WriteZip(File("work/shelf/outer.zip"),
             {{"inner.zip", fProgram.Tree.Read("work/inner.zip")}, {"later.zip", fProgram.Tree.Read("work/inner.zip")}});
    Start({"shelf"}, "[ARCHIVE]\nOpenSubFolder=0\n");
    const WalkCase& row = GetParam();
    ASSERT_TRUE(fModel->ShowArchive(File(row.Start), row.StartInner));
    EXPECT_TRUE(fModel->MoveToNeighbour(row.Direction));
    EXPECT_EQ(Place(), row.Expected);
    EXPECT_TRUE(fMessages.Texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NavigationWalkTest,
    ::testing::Values(WalkCase{"work/shelf/book.zip", "p/a/", Fwd, "shelf/book.zip:p/b/"},
                      // The last folder of p/ continues with p/'s neighbour.
                      WalkCase{"work/shelf/book.zip", "p/b/", Fwd, "shelf/book.zip:q/"},
                      // The archive's last entry: the archive file's own
                      // neighbour on disk.
                      WalkCase{"work/shelf/book.zip", "q/", Fwd, "shelf/next.zip:"},
                      // The first entry of a folder goes up inside the archive.
                      WalkCase{"work/shelf/book.zip", "p/a/", Back, "shelf/book.zip:p/"},
                      WalkCase{"work/shelf/book.zip", "p/b/", Back, "shelf/book.zip:p/a/"},
                      // An inner archive used up gives way to the next
                      // archive of the one that holds it.
                      WalkCase{"work/shelf/outer.zip", "inner.zip//y/", Fwd, "shelf/outer.zip:later.zip"},
                      WalkCase{"work/shelf/outer.zip", "inner.zip//x/", Fwd, "shelf/outer.zip:inner.zip//y/"}));

TEST_F(NavigationTest, AnArchiveThatDoesNotOpenIsReportedAndTheListStays)
{
    ForceDirectories(File("work/shelf/a/"));
    fProgram.Tree.Write("work/shelf/b.zip", "no archive at all");
    Start({"shelf/a"});
    ASSERT_EQ(Place(), "shelf/a/");
    EXPECT_FALSE(fModel->MoveToNeighbour(Fwd));
    EXPECT_EQ(Place(), "shelf/a/");
    EXPECT_EQ(fMessages.Texts, (std::vector<std::string>{"'b.zip' は開けませんでした  "}));
}

TEST_F(NavigationTest, NextFolderEntersTheFirstFolderOrArchiveElseTheNeighbour)
{
    ForceDirectories(File("work/top/a/"));
    ForceDirectories(File("work/top/b/"));
    ForceDirectories(File("work/top/c/"));
    Zip("work/top/a/book.zip", {"1.bmp"});
    Start({"top/a"});
    EXPECT_TRUE(fModel->NextFolder());
    EXPECT_EQ(Place(), "top/a/book.zip:");
    ASSERT_TRUE(fModel->ShowFolder(File("work/top/b/")));
    EXPECT_TRUE(fModel->NextFolder());  // b/ is empty: on to its neighbour
    EXPECT_EQ(Place(), "top/c/");
}

TEST_F(NavigationTest, GoingBackThenSomewhereNewDropsTheNewerEntries)
{
    for (const char* folder : {"work/a/", "work/b/", "work/c/", "work/d/"})
        ForceDirectories(File(folder));
    Start({"a"});
    fModel->ShowFolder(File("work/b/"));
    fModel->ShowFolder(File("work/c/"));
    ASSERT_EQ(fModel->History().Count(), 3);
    EXPECT_TRUE(fModel->GoBack());
    EXPECT_TRUE(fModel->GoBack());
    EXPECT_EQ(Place(), "a/");
    EXPECT_FALSE(fModel->GoBack());
    EXPECT_EQ(fModel->History().Count(), 3);  // going back records nothing
    EXPECT_TRUE(fModel->GoForward());
    EXPECT_EQ(Place(), "b/");
    fModel->GoBack();
    fModel->ShowFolder(File("work/d/"));
    ASSERT_EQ(fModel->History().Count(), 2);
    EXPECT_EQ(fModel->History().At(0).Item, File("work/d/"));
    EXPECT_EQ(fModel->History().At(1).Item, File("work/a/"));
    EXPECT_FALSE(fModel->History().CanGoForward());
}

TEST_F(NavigationTest, BackSkipsAPlaceThatIsGoneAndTheHistoryKeepsItsLimit)
{
    for (const char* folder : {"work/a/", "work/b/", "work/c/", "work/d/"})
        ForceDirectories(File(folder));
    Start({"a"}, "[RECENT]\nBackCount=3\n");
    fModel->ShowFolder(File("work/b/"));
    fModel->ShowFolder(File("work/c/"));
    RemoveTree(File("work/b"));
    EXPECT_TRUE(fModel->GoBack());
    EXPECT_EQ(Place(), "a/");
    EXPECT_TRUE(fMessages.Texts.empty());
    fModel->ShowFolder(File("work/c/"));
    fModel->ShowFolder(File("work/d/"));
    fModel->ShowFolder(File("work/a/"));
    EXPECT_EQ(fModel->History().Count(), 3);
    // The menus show the entries nearest first.
    const std::vector<THistoryMenuItem> back = fModel->HistoryMenu(true);
    ASSERT_EQ(back.size(), 2U);
    EXPECT_EQ(back[0].Caption, "<フォルダ>\td");
    EXPECT_EQ(back[1].Caption, "<フォルダ>\tc");
}

// A shelf's member folder goes on to the shelf's next member that is still
// there, never to the folders beside it on disk; after the last member comes
// the next shelf, and back from there the shelf before it.
TEST_F(NavigationTest, AShelfMemberLeadsToTheNextMemberAndThenToTheNextShelf)
{
    for (const char* folder : {"work/m1/", "work/m2/", "work/m3/", "work/m25/"})
        ForceDirectories(File(folder));
    Start({"m25"});
    fShelves.Add("棚", 0, "");
    fShelves.Add("次", 0, "");
    AddPaths(*fShelves.Group(0), {File("work/m1"), File("work/m2"), File("work/m3")});
    RemoveTree(File("work/m2"));
    TTreePlace member;
    member.Kind = TTreePlaceKind::tpShelfMember;
    member.ListIndex = 0;
    member.Path = File("work/m1/");
    ASSERT_TRUE(fModel->ShowTreePlace(member));

    EXPECT_TRUE(fModel->MoveToNeighbour(Fwd));
    EXPECT_EQ(fModel->FileList().Place().Kind, TTreePlaceKind::tpShelfMember);
    EXPECT_EQ(fModel->FileList().Place().Path, File("work/m3/"));
    EXPECT_EQ(HistoryCaption(fModel->History().At(0)), "<本棚>\tm3");
    EXPECT_TRUE(fModel->MoveToNeighbour(Fwd));
    EXPECT_EQ(fModel->FileList().Place().Kind, TTreePlaceKind::tpShelf);
    EXPECT_EQ(fModel->FileList().Place().ListIndex, 1);
    EXPECT_TRUE(fModel->MoveToNeighbour(Back));
    EXPECT_EQ(fModel->FileList().Place().ListIndex, 0);
    // Back through the history to the member, on its shelf.
    EXPECT_TRUE(fModel->GoBack());
    EXPECT_TRUE(fModel->GoBack());
    EXPECT_EQ(fModel->FileList().Place().Kind, TTreePlaceKind::tpShelfMember);
    EXPECT_EQ(fModel->FileList().Place().Path, File("work/m3/"));
}

}  // namespace

namespace {

// A folder opened from the search results goes on to the next result, not
// to the folder beside it on disk, and back before the first result to the
// results; a folder inside a result keeps to the results, a place elsewhere
// forgets them.
TEST_F(NavigationTest, APlaceOpenedFromTheSearchResultsWalksTheResults)
{
    for (const char* folder : {"work/a/r1/sub/", "work/a/r1x/", "work/b/r2/"})
        ForceDirectories(File(folder));
    Start({"a"});
    TGroupFolder results(nullptr, "results");
    AddPaths(results, {File("work/a/r1"), File("work/b/r2")});
    ASSERT_TRUE(fModel->ShowSearch(results));
    const int first = fModel->FileList().IndexOfPath(File("work/a/r1"));
    ASSERT_GE(first, 0);
    fModel->OpenListResult(fModel->FileList().Open(first));
    ASSERT_EQ(Place(), "a/r1/");

    EXPECT_TRUE(fModel->MoveToNeighbour(Fwd));
    EXPECT_EQ(Place(), "b/r2/");
    EXPECT_TRUE(fModel->MoveToNeighbour(Back));
    EXPECT_EQ(Place(), "a/r1/");
    ASSERT_TRUE(fModel->ShowFolder(File("work/a/r1/sub/")));
    EXPECT_TRUE(fModel->MoveToNeighbour(Fwd));
    EXPECT_EQ(Place(), "b/r2/");
    EXPECT_TRUE(fModel->MoveToNeighbour(Back));
    EXPECT_TRUE(fModel->MoveToNeighbour(Back));
    EXPECT_EQ(fModel->FileList().Content(), TListContent::lcoSearch);

    fModel->OpenListResult(fModel->FileList().Open(first));
    ASSERT_TRUE(fModel->ShowFolder(File("work/a/r1x/")));
    EXPECT_TRUE(fModel->MoveToNeighbour(Back));
    EXPECT_EQ(Place(), "a/r1/");
    fModel->ForgetSearch();
}

}  // namespace
