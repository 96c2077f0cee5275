#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "app/AppCore.h"
#include "app/HandOver.h"
#include "base/PathUtils.h"
#include "base/QueueDispatcher.h"
#include "browser/BrowserModel.h"
#include "collections/CategoryFolder.h"
#include "common/DateTime.h"
#include "loading/ImgLoader.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SafeFiles.h"
#include "support/FakeBook.h"

namespace {

using enum TActionId;

// What a pane would have shown: each message with the page label and
// whether a page was shown, as last announced to the observers when the
// message appeared.
struct TSeenMessage {
    std::string Text;
    std::string Label;
    bool PageShown = false;
};

class TRecorder : public TUserNotifier, public TBrowserObserver {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override
    {
        Messages.push_back({text, fAnnounced.Label, fAnnounced.PageShown});
    }
    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override
    {
        Changes.push_back({change.Kind, change.Phase, model.Items().size()});
        if (change.Kind == TBrowserChangeKind::bcShown)
            fAnnounced = {{}, model.PageLabel(), model.Viewer().Primary().HasBitmap()};
    }

    struct TSeenChange {
        TBrowserChangeKind Kind;
        TChangePhase Phase;
        size_t Items;
        bool operator==(const TSeenChange&) const = default;
    };
    TBrowserModel* Model = nullptr;
    std::vector<TSeenMessage> Messages;
    std::vector<TSeenChange> Changes;

private:
    TSeenMessage fAnnounced;
};

class BrowserModelTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args, TLoaders loaders = TLoaders::ldFake,
               TDispatcher* dispatcher = nullptr, const TBrowserSources& sources = {})
    {
        fCore = fProgram.Start(args, loaders);
        fModel = std::make_unique<TBrowserModel>(*fCore, fRecorder, dispatcher, sources);
        fRecorder.Model = fModel.get();
        fModel->RegisterObserver(&fRecorder);
        fModel->Viewer().SetClientSize(400, 300);
        fModel->DeferredStart();
    }
    void TearDown() override
    {
        fModel.reset();
        fCore.reset();
    }

    std::string Shown() const { return ExtractFileName(fModel->ShownFile()); }
    std::string Label() const { return fModel->PageLabel(); }
    std::string File(const std::string& name) const { return fProgram.Tree.File(name); }
    std::vector<std::string> ItemNames(TItemKind kind) const
    {
        std::vector<std::string> names;
        for (const TBrowserItem& item : fModel->Items())
            if (item.Kind == kind)
                names.push_back(item.Name);
        return names;
    }
    std::string Focused() const
    {
        const int item = fModel->FocusedItem();
        return item < 0 ? std::string() : fModel->Items()[static_cast<size_t>(item)].Name;
    }

    TFakeProgram fProgram;
    TRecorder fRecorder;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TBrowserModel> fModel;
};

TEST_F(BrowserModelTest, FolderListsItsItemsAndReadsItsPicturesAsABook)
{
    const TFakeProgram& tree = fProgram;
    tree.Tree.Write("work/book/b.fake", FakePage(1));
    tree.Tree.Write("work/book/A.fake", FakePage(0));
    tree.Tree.Write("work/book/c10.fake", FakePage(3));
    tree.Tree.Write("work/book/c9.fake", FakePage(2));
    tree.Tree.Write("work/book/0.txt", "not a picture");
    tree.Tree.Write("work/book/sub/x.fake", FakePage(4));
    Start({"book"});
    EXPECT_EQ(fModel->ShownPlace().Folder, File("work/book/"));
    EXPECT_EQ(ItemNames(TItemKind::ikFolder), std::vector<std::string>{"sub"});
    EXPECT_EQ(ItemNames(TItemKind::ikOther), std::vector<std::string>{"0.txt"});
    EXPECT_EQ(fModel->Images(), (std::vector<std::string>{File("work/book/A.fake"), File("work/book/b.fake"),
                                                          File("work/book/c9.fake"), File("work/book/c10.fake")}));
    EXPECT_EQ(Shown(), "A.fake");
    EXPECT_EQ(Label(), "2・1 / 4");
    EXPECT_EQ(fModel->Viewer().CaptionText(), "b.fake (20 x 30 x 24bit) [100%]   <<   A.fake (20 x 30 x 24bit) [100%]");
    EXPECT_EQ(fCore->State(), TAppState::asReady);
    // The selection follows the page the reader turns to.
    EXPECT_EQ(Focused(), "A.fake");
    fModel->RunAction(actNext);
    EXPECT_EQ(Label(), "4・3 / 4");
    EXPECT_EQ(Focused(), "c9.fake");
    ASSERT_EQ(fModel->Selection().size(), 1u);
    EXPECT_EQ(fModel->Selection().front(), fModel->FocusedItem());
}

TEST_F(BrowserModelTest, ObserversHearAPlaceChangeBeforeAndAfterAndNotTheirOwnSelection)
{
    fProgram.WriteBook(2);
    fProgram.Tree.Write("work/other/0.fake", FakePage(0));
    Start({"book"});
    fRecorder.Changes.clear();
    fModel->OpenPathFromUser(File("work/other"));
    using TSeen = TRecorder::TSeenChange;
    ASSERT_GE(fRecorder.Changes.size(), 2u);
    // Before: the old book's two items are still there; after: the new one.
    EXPECT_EQ(fRecorder.Changes[0], (TSeen{TBrowserChangeKind::bcPlace, TChangePhase::cpBefore, 2}));
    EXPECT_EQ(fRecorder.Changes[1], (TSeen{TBrowserChangeKind::bcPlace, TChangePhase::cpAfter, 1}));
    EXPECT_NE(std::find(fRecorder.Changes.begin(), fRecorder.Changes.end(),
                        TSeen{TBrowserChangeKind::bcShown, TChangePhase::cpAfter, 1}),
              fRecorder.Changes.end());

    fRecorder.Changes.clear();
    fModel->Select({0, 7, -1}, 0, &fRecorder);
    EXPECT_TRUE(fRecorder.Changes.empty()) << "the pane that selected is not told again";
    EXPECT_EQ(fModel->Selection(), std::vector<int>{0});
    TRecorder other;
    fModel->RegisterObserver(&other);
    fModel->Select({}, -1, &fRecorder);
    EXPECT_EQ(other.Changes.size(), 1u);
    fModel->UnregisterObserver(&other);
}

// A damaged page beside a good one in a new book: the message comes once the
// good page and the new book's label are shown, not over the old state.
TEST_F(BrowserModelTest, DamagedPageMessageComesAfterTheViewShowsWhatItCan)
{
    for (int i = 0; i < 3; ++i)
        fProgram.Tree.Write("work/old/" + std::to_string(i) + ".fake", FakePage(i));
    fProgram.Tree.Write("work/new/0.fake", FakePage(0));
    fProgram.Tree.Write("work/new/1.fake", "FAKE");
    for (int i = 2; i < 5; ++i)
        fProgram.Tree.Write("work/new/" + std::to_string(i) + ".fake", FakePage(i));
    Start({"old"});
    ASSERT_EQ(Label(), "2・1 / 3");
    fModel->OpenPathFromUser(File("work/new"));
    ASSERT_EQ(fRecorder.Messages.size(), 1u);
    EXPECT_EQ(fRecorder.Messages[0].Text, "'1.fake' は読み込めませんでした  ");
    EXPECT_EQ(fRecorder.Messages[0].Label, "1 / 5");
    EXPECT_TRUE(fRecorder.Messages[0].PageShown);
}

TEST_F(BrowserModelTest, DamagedOnlyPictureLeavesNothingShown)
{
    fProgram.Tree.Write("work/book/bad.fake", "FAKE");
    Start({"book"});
    EXPECT_TRUE(Shown().empty());
    ASSERT_EQ(fRecorder.Messages.size(), 1u);
    EXPECT_EQ(fRecorder.Messages[0].Text, "'bad.fake' は読み込めませんでした  ");
    EXPECT_EQ(fModel->Viewer().CaptionText(), "");
}

TEST_F(BrowserModelTest, WithoutAPathTheWorkingFolderOpens)
{
    fProgram.Tree.Write("work/here.fake", FakePicture(4, 4, fkGray, 200, 0, 0));
    Start({});
    EXPECT_EQ(Shown(), "here.fake");
    EXPECT_EQ(fModel->ShownPlace().Folder, File("work/"));
    EXPECT_EQ(Label(), "1 / 1");
}

TEST_F(BrowserModelTest, RotationTurnsTheShownPictureAndKeepsTheLoadedSize)
{
    fProgram.Tree.Write("work/wide.fake", FakePicture(30, 20, fkColor, 1, 2, 3));
    Start({"wide.fake"});
    fModel->RunAction(actR90);
    EXPECT_EQ(fModel->Viewer().Primary().Width(), 20);
    EXPECT_EQ(fModel->Viewer().Primary().Height(), 30);
    EXPECT_EQ(fModel->Viewer().CaptionText(), "wide.fake (30 x 20 x 24bit) [100%]");
}

TEST_F(BrowserModelTest, ComicArchiveOpensAtItsBookFolderAndSurvivesASettingsSwitch)
{
    fProgram.Tree.Write("work/plain.lys", "[IMAGE]\nView=2\n");
    Start({MIREVA_BIN_DIR "/sample/Sample Book.cbz"}, TLoaders::ldShipped);
    EXPECT_EQ(fModel->ShownPlace().Kind, TPlaceKind::pkArchive);
    EXPECT_EQ(fModel->ShownPlace().ArchiveFolder, "Sample Book/");
    const std::vector<std::string> images = fModel->Images();
    ASSERT_EQ(images.size(), 11u);
    EXPECT_EQ(images.front(), "Sample Book/01.jpg");
    EXPECT_EQ(images[5], "Sample Book/06-07.jpg");
    EXPECT_EQ(fModel->ShownFile(), MIREVA_BIN_DIR "/sample/Sample Book.cbz//Sample Book/01.jpg");
    EXPECT_EQ(Label(), "2・1 / 11");
    // The page before the spread picture and the spread picture stand
    // alone: the partner of the first is landscape.
    for (const char* label : {"4・3 / 11", "5 / 11", "6 / 11", "8・7 / 11"}) {
        fModel->RunAction(actNext);
        EXPECT_EQ(Label(), label);
    }
    // Another settings file rebuilds the loaders; the book stays readable at
    // the page the reader was on.
    fModel->HandOver(THandOver{File("work/"), {"m", "-s", "plain.lys"}}, false);
    EXPECT_EQ(Label(), "8・7 / 11");
    fModel->RunAction(actNext);
    EXPECT_EQ(Label(), "10・9 / 11");
    EXPECT_TRUE(fRecorder.Messages.empty());
}

// The place at close comes back at the next start without a path: the
// archive at its inner folder, the selected item and, with LastImage, the
// picture.
TEST_F(BrowserModelTest, TheLastPlaceInAnArchiveComesBackAtTheNextStart)
{
    fProgram.Tree.Write("data/Mireva.ini", "[INITIALIZE]\nLastImage=1\n");
    Start({MIREVA_BIN_DIR "/sample/Sample Book.cbz"}, TLoaders::ldShipped);
    fModel->RunAction(actNext);
    fModel->RunAction(actNext);
    const std::string label = Label();
    const TLastLocation last = fModel->LastLocation();
    EXPECT_TRUE(last.IsArchive);
    EXPECT_EQ(last.Dir, MIREVA_BIN_DIR "/sample/Sample Book.cbz");
    EXPECT_EQ(last.ArchivePath, "Sample Book/");
    EXPECT_EQ(last.Selected, "Sample Book/05.jpg");
    EXPECT_EQ(last.ImagePath, MIREVA_BIN_DIR "/sample/Sample Book.cbz//Sample Book/05.jpg");
    ASSERT_TRUE(fModel->SaveAtClose());
    TearDown();
    Start({}, TLoaders::ldShipped);
    EXPECT_EQ(fModel->ShownPlace().ArchiveFolder, "Sample Book/");
    EXPECT_EQ(Label(), label);
    EXPECT_EQ(Focused(), "05.jpg");
}

// The registered applications come with the settings file in use and the
// recently used ones with the data folder's file; both come back at the
// next start, and another settings file brings its own registrations.
TEST_F(BrowserModelTest, ApplicationsSurviveARestartAndFollowTheSettingsFile)
{
    fProgram.Tree.Write("work/book/a.fake", FakePage(0));
    fProgram.Tree.Write("bin/viewer", "#!/bin/sh\n");
    fProgram.Tree.Write("work/other.lys", "[FILE]\nRegApplication1=/usr/bin/other,Other\n");
    Start({"book"});
    const std::vector<TRegApplication> apps = {{"/opt/a b/gimp", "GIMP, 2", "-n", TAppWindow::awMaximize, true, false},
                                               {"", "関連付け", "", TAppWindow::awNormal, false, true}};
    ASSERT_TRUE(fModel->ChangeRegisteredApplications(apps));
    fModel->Applications().UseProgram(File("bin/viewer"));
    fModel->Applications().UseProgram(File("bin/gone"));
    ASSERT_TRUE(fModel->SaveAtClose());
    TearDown();
    Start({"book"});
    EXPECT_EQ(fModel->Applications().Registered(), apps);
    EXPECT_EQ(fModel->Applications().Recent(), std::vector<std::string>{File("bin/viewer")});
    fModel->HandOver(THandOver{File("work/"), {"m", "-s", "other.lys"}}, false);
    ASSERT_EQ(fModel->Applications().Registered().size(), 1u);
    EXPECT_EQ(fModel->Applications().Registered()[0].DisplayName, "Other");
    EXPECT_EQ(fModel->Applications().Recent().size(), 1u);
    EXPECT_TRUE(fRecorder.Messages.empty());
}

// A settings file with another sort order sorts the listed folder again,
// and the book follows the new order.
TEST_F(BrowserModelTest, SwitchingToAnotherSortOrderReordersTheBook)
{
    fProgram.Tree.Write("work/book/a.fake", FakePage(0));
    fProgram.Tree.Write("work/book/b.fake", FakePage(1));
    fProgram.Tree.Write("work/desc.lys", "[STATE]\nSortIndex=0\nSortDir=1\n");
    Start({"book"});
    ASSERT_EQ(fModel->Images().front(), File("work/book/a.fake"));
    fModel->HandOver(THandOver{File("work/"), {"m", "-s", "desc.lys"}}, false);
    EXPECT_EQ(fModel->Images().front(), File("work/book/b.fake"));
    EXPECT_EQ(fModel->WindowState().FolderSort, (TSortOrder{0, TSortDir::sdDesc}));
}

TEST_F(BrowserModelTest, ArchiveInsideAnArchiveOpens)
{
    ForceDirectories(File("work"));
    WriteZip(File("work/shelf.zip"), {{"books/Sample Book.cbz", ReadWholeFile(MIREVA_BIN_DIR "/sample/Sample Book.cbz")},
                                      {"books/readme.txt", "text"}});
    Start({"shelf.zip/books/Sample Book.cbz"}, TLoaders::ldShipped);
    EXPECT_EQ(fModel->ShownPlace().ArchivePath, File("work/shelf.zip"));
    EXPECT_EQ(fModel->ShownPlace().ArchiveFolder, "books/Sample Book.cbz//Sample Book/");
    ASSERT_TRUE(fModel->Archive());
    EXPECT_TRUE(fModel->Archive()->Parent());
    EXPECT_EQ(Label(), "2・1 / 11");
    fModel->RunAction(actLast);
    EXPECT_EQ(Label(), "11・10 / 11");
    EXPECT_TRUE(fRecorder.Messages.empty());
}

std::string BmpPage(int width)
{
    TBitmap bitmap(width, 8, 24, true);
    const std::vector<uint8_t> bytes = EncodeBmpFile(bitmap);
    return std::string(bytes.begin(), bytes.end());
}

// Every entry is listed, but only visible regular files (or links to them)
// with a picture's extension become pages: no hidden companion, pipe or
// dangling link is ever read as a page.
TEST_F(BrowserModelTest, OnlyVisibleRegularPicturesArePages)
{
    const std::string folder = File("work/kinds/");
    for (const char* name : {"b.BMP", "a.bmp", "notes.txt", ".hidden.bmp", "._a.bmp", "noext", "book.zip"})
        fProgram.Tree.Write(std::string("work/kinds/") + name, BmpPage(4));
    ForceDirectories(folder + "dir.bmp");
    ASSERT_EQ(::symlink((folder + "a.bmp").c_str(), (folder + "link.bmp").c_str()), 0);
    ASSERT_EQ(::symlink((folder + "gone").c_str(), (folder + "dangling.bmp").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder + "pipe.bmp").c_str(), 0600), 0);
    Start({"kinds"}, TLoaders::ldShipped);
    std::vector<std::string> pages;
    for (const std::string& path : fModel->Images())
        pages.push_back(ExtractFileName(path));
    std::sort(pages.begin(), pages.end());
    EXPECT_EQ(pages, (std::vector<std::string>{"a.bmp", "b.BMP", "link.bmp"}));
    EXPECT_EQ(ItemNames(TItemKind::ikFolder), (std::vector<std::string>{"dir.bmp"}));
    EXPECT_EQ(ItemNames(TItemKind::ikArchive), (std::vector<std::string>{"book.zip"}));
    EXPECT_TRUE(fRecorder.Messages.empty());
}

// With the window's dispatcher the list reads sizes and dates after the
// names: the items get them once they arrive, and the book and the shown
// page stay as they were.
TEST_F(BrowserModelTest, DetailsReadLaterReachTheItemsAndKeepTheBook)
{
    const std::string folder = File("work/kinds/");
    for (const char* name : {"b.bmp", "a.bmp"})
        fProgram.Tree.Write(std::string("work/kinds/") + name, BmpPage(4));
    fProgram.Tree.Write("work/kinds/notes.txt", "seven b");
    ASSERT_EQ(::symlink((folder + "a.bmp").c_str(), (folder + "link.bmp").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder + "pipe.bmp").c_str(), 0600), 0);
    TQueueDispatcher dispatcher;
    Start({"kinds"}, TLoaders::ldShipped, &dispatcher);
    const std::vector<std::string> book = fModel->Images();
    ASSERT_EQ(book.size(), 3u);
    const std::string shown = Shown();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fModel->FileList().DetailsComplete() && std::chrono::steady_clock::now() < deadline)
        dispatcher.RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(20));
    ASSERT_TRUE(fModel->FileList().DetailsComplete());
    for (const TBrowserItem& item : fModel->Items()) {
        SCOPED_TRACE(item.Name);
        const TFileStatus status = QueryFile(item.Path);
        EXPECT_EQ(item.Size, status.Kind == TFileKind::fkFile ? status.Size : 0);
        EXPECT_NE(item.Time, -1.0);
    }
    EXPECT_EQ(fModel->Images(), book);
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(ItemNames(TItemKind::ikOther), (std::vector<std::string>{"notes.txt", "pipe.bmp"}));
    EXPECT_TRUE(fRecorder.Messages.empty());
    fModel.reset();
}

// The book is the list's pictures in the list's order: sorting the file
// list by name the other way round reverses the pages, and the page being
// read stays shown.
TEST_F(BrowserModelTest, BookFollowsTheFileListsOrder)
{
    for (const char* name : {"a", "b", "c", "d"})
        fProgram.Tree.Write(std::string("work/book/") + name + ".fake", FakePage(name[0] - 'a'));
    Start({"book/b.fake"});
    ASSERT_EQ(Shown(), "b.fake");
    fModel->FileList().ColumnClick(0);  // the name column again: descending
    std::vector<std::string> names;
    for (const std::string& path : fModel->Images())
        names.push_back(ExtractFileName(path));
    EXPECT_EQ(names, (std::vector<std::string>{"d.fake", "c.fake", "b.fake", "a.fake"}));
    EXPECT_EQ(Shown(), "b.fake");
    EXPECT_EQ(Focused(), "b.fake");
    fModel->RunAction(actLast);
    EXPECT_EQ(Shown(), "a.fake");
}

// A category below the shown one is an item without a path: no file
// command can take it for the top folder, and opening it shows that category.
TEST_F(BrowserModelTest, AChildCategoryIsAnItemWithoutAPathThatOpensIt)
{
    fProgram.Tree.Write("work/book/a.fake", FakePage(0));
    ASSERT_TRUE(SetFileModifiedTime(File("work/book/a.fake"), DateTimeToUnix(EncodeDateTime({2004, 3, 5, 12}))));
    TCategoryList categories;
    TCategoryFolder& category = *categories.Category(categories.Add("dates", 0, ""));
    category.SetTargets({{TSearchTargetKind::tkFolder, File("work/book"), true}});
    TCategorySettings settings;
    settings.DateUnits = duYear;
    category.SetSettings(settings);
    category.Load();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (category.Busy() && std::chrono::steady_clock::now() < deadline)
        categories.Tasks().RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    ASSERT_FALSE(category.Busy());
    Start({"book"}, TLoaders::ldFake, nullptr, {.Categories = &categories});

    category.ShowSubContents = true;
    ASSERT_TRUE(fModel->ShowTreePlace({.Kind = TTreePlaceKind::tpCategory, .ListIndex = 0}));
    ASSERT_EQ(fModel->Items().size(), 2u);
    const TBrowserItem& child = fModel->Items()[0];
    EXPECT_EQ(child.Name, "2004");
    EXPECT_EQ(child.Kind, TItemKind::ikOther);
    EXPECT_EQ(child.Path, "");
    EXPECT_EQ(fModel->Items()[1].Path, File("work/book/a.fake"));
    EXPECT_EQ(fModel->Images(), std::vector<std::string>{File("work/book/a.fake")});

    fModel->OpenListResult(fModel->FileList().Open(0));
    EXPECT_EQ(fModel->FileList().Place().Kind, TTreePlaceKind::tpCategoryItem);
    EXPECT_EQ(fModel->FileList().Place().Path, "2004/");
    EXPECT_EQ(ItemNames(TItemKind::ikOther), std::vector<std::string>{});
    EXPECT_EQ(fModel->Items().size(), 1u);
}

// An archive opened from the file list: the file list stays on the folder
// that holds it, the archive list shows its members, and going up from its
// top comes back to the folder with the archive selected.
TEST_F(BrowserModelTest, ArchiveOpensBesideItsFolderAndGoingUpLeavesIt)
{
    ForceDirectories(File("work/shelf"));
    WriteZip(File("work/shelf/book.zip"), {{"p/1.bmp", BmpPage(4)}, {"p/2.bmp", BmpPage(5)}, {"q.txt", "x"}});
    fProgram.Tree.Write("work/shelf/other.bmp", BmpPage(6));
    Start({"shelf"}, TLoaders::ldShipped);
    const int row = fModel->FileList().IndexOfPath(File("work/shelf/book.zip"));
    ASSERT_GE(row, 0);
    fModel->OpenListResult(fModel->FileList().Open(row));
    EXPECT_EQ(fModel->ShownPlace().Kind, TPlaceKind::pkArchive);
    EXPECT_EQ(fModel->ArchiveList().Count(), 1);  // the folder p/; q.txt is no picture
    EXPECT_EQ(fModel->FileList().Selection().Focused, row);
    fModel->ArchiveList().Select({0, {0}});
    fModel->ArchiveList().OpenSelected();  // into p/
    EXPECT_EQ(fModel->ShownPlace().ArchiveFolder, "p/");
    EXPECT_EQ(ItemNames(TItemKind::ikImage), (std::vector<std::string>{"1.bmp", "2.bmp"}));
    EXPECT_TRUE(fModel->GoUp());
    EXPECT_EQ(fModel->ShownPlace().ArchiveFolder, "");
    EXPECT_TRUE(fModel->GoUp());
    EXPECT_EQ(fModel->ShownPlace().Kind, TPlaceKind::pkFolder);
    EXPECT_EQ(Focused(), "book.zip");
    EXPECT_TRUE(fRecorder.Messages.empty());
}


struct TArchiveFolderCase {
    const char* Name;
    const char* Setting;
    std::vector<std::string> Images;
    std::vector<std::string> Folders;
};

class BrowserModelArchiveFolderTest : public BrowserModelTest,
                                      public ::testing::WithParamInterface<TArchiveFolderCase> {};

// ARCHIVE Folder decides whether an archive is browsed by its folders or
// read flat, its sub-folders' pictures included, in the order of their paths.
TEST_P(BrowserModelArchiveFolderTest, ListsTheBookTheSettingAsksFor)
{
    ForceDirectories(File("work"));
    WriteZip(File("work/book.zip"),
             {{"b.bmp", BmpPage(10)}, {"a/5.bmp", BmpPage(11)}, {"c/1.bmp", BmpPage(12)}, {"d.bmp", BmpPage(13)}});
    fProgram.Tree.Write("work/set.lys", std::string("[ARCHIVE]\nFolder=") + GetParam().Setting + "\n");
    Start({"-s", File("work/set.lys"), "book.zip"}, TLoaders::ldShipped);
    ASSERT_EQ(fModel->ShownPlace().Kind, TPlaceKind::pkArchive);
    EXPECT_EQ(fModel->Images(), GetParam().Images);
    EXPECT_EQ(ItemNames(TItemKind::ikFolder), GetParam().Folders);
    EXPECT_EQ(fModel->Viewer().Count(), static_cast<int>(GetParam().Images.size()));
    EXPECT_EQ(fModel->ShownFile(), File("work/book.zip") + "//" + GetParam().Images.front());
    EXPECT_TRUE(fRecorder.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BrowserModelArchiveFolderTest,
    ::testing::Values(TArchiveFolderCase{"ByFolders", "1", {"b.bmp", "d.bmp"}, {"a", "c"}},
                      TArchiveFolderCase{"Flat", "0", {"a/5.bmp", "b.bmp", "c/1.bmp", "d.bmp"}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(BrowserModelTest, SampleBookFolderLoadsEveryPage)
{
    Start({MIREVA_BIN_DIR "/sample/Sample Book"}, TLoaders::ldProgram);
    ASSERT_EQ(Shown(), "01.bmp");
    std::vector<std::string> names;
    for (const std::string& image : fModel->Images())
        names.push_back(ExtractFileName(image));
    EXPECT_EQ(names, (std::vector<std::string>{"01.bmp", "02.bmp", "03.bmp", "04.bmp", "05.bmp", "06-07.bmp",
                                               "08.bmp", "09.bmp", "10.bmp", "11.bmp", "12.bmp"}));
    fModel->RunAction(actSingle);
    int spreads = 0;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        fModel->Viewer().GoToIndex(i);
        const TImageSlot& page = fModel->Viewer().Primary();
        ASSERT_TRUE(page.HasBitmap()) << names[static_cast<size_t>(i)];
        EXPECT_EQ(page.Height(), 848);
        if (page.Width() == 2 * 600)
            ++spreads;
        else
            EXPECT_EQ(page.Width(), 600);
    }
    EXPECT_EQ(spreads, 1);
    EXPECT_TRUE(fRecorder.Messages.empty());
}

struct THandOverCase {
    const char* Name;
    std::vector<std::string> Args;
    bool Closing;
    const char* Shown;
    bool FullScreen;
};

class BrowserModelHandOverTest : public BrowserModelTest, public ::testing::WithParamInterface<THandOverCase> {};

TEST_P(BrowserModelHandOverTest, ActsOnlyWhenReadyAndAsked)
{
    fProgram.Tree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    fProgram.Tree.Write("work/b/2.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a"});
    if (GetParam().Closing)
        fModel->BeginClose();
    const THandOverOutcome outcome = fModel->HandOver(THandOver{File("work/"), GetParam().Args}, false);
    EXPECT_EQ(Shown(), GetParam().Shown);
    EXPECT_EQ(outcome.EnterFullScreen, GetParam().FullScreen);
}

INSTANTIATE_TEST_SUITE_P(Rows, BrowserModelHandOverTest,
                         ::testing::Values(THandOverCase{"OpensThePath", {"m", "b"}, false, "2.fake", false},
                                           THandOverCase{"WithoutArgumentsNothing", {}, false, "1.fake", false},
                                           THandOverCase{"FullScreenAsked", {"m", "-f"}, false, "1.fake", true},
                                           THandOverCase{"IgnoredOnceClosing", {"m", "b"}, true, "1.fake", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace

namespace {

// The headers of a 24-bit BMP of width x height, without its pixels.
std::string BmpHeadersOnly(int32_t width, int32_t height)
{
    std::string bytes(54, '\0');
    const auto put = [&bytes](size_t at, uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, 54 + static_cast<uint32_t>(width) * 3 * static_cast<uint32_t>(height), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    return bytes;
}

}  // namespace

// The PICTURE options' budget reaches the pages' loads: a picture above it
// is refused before decoding and says why.
TEST_F(BrowserModelTest, PicturesAboveThePictureBudgetAreRefusedWithTheirSize)
{
    fProgram.Tree.Write("data/Mireva.ini", "[PICTURE]\nMaxMegapixels=1\n");
    fProgram.Tree.Write("work/big.bmp", BmpHeadersOnly(2000, 1000));
    Start({"big.bmp"}, TLoaders::ldProgram);
    EXPECT_TRUE(Shown().empty());
    ASSERT_EQ(fRecorder.Messages.size(), 1u);
    EXPECT_EQ(fRecorder.Messages[0].Text, "'big.bmp' は読み込めませんでした  画像が大きすぎます (2000 x 1000)");
}
