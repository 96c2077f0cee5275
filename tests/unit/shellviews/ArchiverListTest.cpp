#include <gtest/gtest.h>

#include <filesystem>

#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "shellviews/ArchiverList.h"
#include "shellviews/SizeText.h"
#include "support/FakeBook.h"

namespace {

using enum TArchiveObjectType;
using enum TArchiverGoUp;
using enum TArchiverOpen;

class TNotices : public TArchiverListObserver {
public:
    void ArchiverListChanged(TArchiverListModel& model, const TArchiverListChange& change) override
    {
        Changes.push_back(change);
        // Every notice leaves the rows and the selection consistent.
        for (int row : model.Selection().Selected)
            EXPECT_LT(row, model.Count());
    }
    std::vector<TArchiverListChange> Changes;
};

class ArchiverListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fCore = fProgram.Start({}, TLoaders::ldShipped);
        TArchiveEnv env;
        env.Loaders = fCore->Registry().Snapshot();
        env.TempBase = IncludeTrailingPathDelimiter(fCore->TemporaryFolder());
        fList.SetArchiveEnv(env);
        fList.RegisterObserver(&fNotices);
        fList.OnLeaveArchive = [this] { ++fLeft; };
        fList.OnSelectedFile = [this](int row) { fChosen.push_back(row); };
    }

    std::string Zip(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files) const
    {
        const std::string path = fProgram.Tree.File("work/" + name);
        ForceDirectories(ExtractFilePath(path));
        WriteZip(path, files);
        return path;
    }
    std::string ZipBytes(const std::vector<std::pair<std::string, std::string>>& files) const
    {
        const std::string path = Zip("scratch.zip", files);
        std::string bytes = ReadWholeFile(path);
        DeleteFile(path);
        return bytes;
    }

    std::vector<std::string> Captions()
    {
        std::vector<std::string> captions;
        for (int i = 0; i < fList.Count(); ++i)
            captions.push_back(fList.Text(i, 0));
        return captions;
    }
    std::vector<std::string> SelectedKeys() const
    {
        std::vector<std::string> keys;
        for (int row : fList.Selection().Selected)
            keys.push_back(fList.Row(row)->Key);
        return keys;
    }
    void SelectCaption(const std::string& caption)
    {
        for (int i = 0; i < fList.Count(); ++i) {
            if (fList.Text(i, 0) == caption) {
                fList.Select({i, {i}});
                return;
            }
        }
        ADD_FAILURE() << "no row " << caption;
    }
    void SetTypes(TArchiveObjectTypes types)
    {
        TArchiverListOptions options = fList.Options();
        options.ObjectTypes = std::move(types);
        fList.SetOptions(options);
    }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    TArchiverListModel fList;
    TNotices fNotices;
    int fLeft = 0;
    std::vector<int> fChosen;
};

struct TListingCase {
    const char* Name;
    TArchiveObjectTypes Types;
    const char* Folder;
    std::vector<std::string> Captions;
};

class ArchiverListListingTest : public ArchiverListTest, public ::testing::WithParamInterface<TListingCase> {};

TEST_P(ArchiverListListingTest, ListsWhatTheObjectTypesAsk)
{
    const std::string zip = Zip("book.zip", {{"b.jpg", "1"}, {"sub/deep/c.jpg", "3"}, {"sub/a.jpg", "2"},
                                             {"note.txt", "4"}, {"Sub2/x.png", "5"}});
    SetTypes(GetParam().Types);
    ASSERT_TRUE(fList.ShowArchive(zip, GetParam().Folder, false));
    EXPECT_EQ(fList.CurrentFolder(), GetParam().Folder);
    EXPECT_EQ(Captions(), GetParam().Captions);
    // A new listing focuses the first row and selects nothing.
    EXPECT_EQ(fList.Selection().Focused, fList.Count() > 0 ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ArchiverListListingTest,
    ::testing::Values(
        TListingCase{"FoldersAndPictures", {atFolders, atSupported}, "", {"sub", "Sub2", "b.jpg"}},
        TListingCase{"AllFiles", {atFolders, atSupported, atNonSupported}, "", {"sub", "Sub2", "b.jpg", "note.txt"}},
        TListingCase{"FlatFromTheTop", {atSupported}, "", {"b.jpg", "sub/a.jpg", "sub/deep/c.jpg", "Sub2/x.png"}},
        TListingCase{"FlatBelowAFolder", {atSupported}, "sub/", {"a.jpg", "deep/c.jpg"}},
        TListingCase{"OnlyOtherFiles", {atFolders, atNonSupported}, "sub/", {"deep"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ArchiverListTest, DescendingPutsFoldersLastAndTheSelectionFollowsEveryResort)
{
    const std::string zip =
        Zip("book.zip", {{"m.jpg", std::string(3000, 'm')}, {"a/1.jpg", "1"}, {"z/1.jpg", "1"}, {"k.jpg", "kk"}});
    ASSERT_TRUE(fList.ShowArchive(zip, "", false));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "z", "k.jpg", "m.jpg"}));
    fList.Select({3, {0, 3}});
    fList.ClickColumn(0);
    EXPECT_EQ(fList.SortOrder(), (TSortOrder{0, TSortDir::sdDesc}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"m.jpg", "k.jpg", "z", "a"}));
    EXPECT_EQ(fList.Selection(), (TListSelection{0, {0, 3}}));
    // By size, ascending: folders first, then the members by size.
    fList.ClickColumn(1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a", "z", "k.jpg", "m.jpg"}));
    EXPECT_EQ(SelectedKeys(), (std::vector<std::string>{"a", "m.jpg"}));
    EXPECT_EQ(fList.Row(fList.Selection().Focused)->Key, "m.jpg");
    EXPECT_EQ(fList.Text(3, 1), "3 KB");
    EXPECT_EQ(fList.Text(0, 1), "");
    EXPECT_EQ(fList.Text(0, 3), "") << "made-up folders have no time";
    ASSERT_GE(fNotices.Changes.size(), 2u);
    const TArchiverListChange& last = fNotices.Changes.back();
    EXPECT_EQ(last.Kind, TArchiverListChangeKind::acSorted);
    EXPECT_EQ(last.Phase, TChangePhase::cpAfter);
    // Typed letters find the next row by its name.
    EXPECT_EQ(fList.FindByPrefix("M", 0, false), 3);
    EXPECT_EQ(fList.FindByPrefix("a", 1, true), 0);
}

TEST_F(ArchiverListTest, NestedArchivesOpenAndGoingUpReturnsToEachFolderThatHeldOne)
{
    const std::string inner = ZipBytes({{"p.jpg", "p"}});
    const std::string middle = ZipBytes({{"y/inner.zip", inner}, {"y/q.jpg", "q"}});
    const std::string third = ZipBytes({{"mid.zip", middle}});
    const std::string outer = Zip("outer.zip", {{"x/third.zip", third}, {"r.jpg", "r"}});

    ASSERT_TRUE(fList.ShowArchive(outer, "x/", false));
    SelectCaption("third.zip");
    EXPECT_EQ(fList.OpenSelected(), aoArchive);
    SelectCaption("mid.zip");
    EXPECT_EQ(fList.OpenSelected(), aoArchive);
    EXPECT_EQ(fList.DisplayPath(), "x/third.zip//mid.zip");
    SelectCaption("y");
    EXPECT_EQ(fList.OpenSelected(), aoFolder);
    SelectCaption("inner.zip");
    EXPECT_EQ(fList.OpenSelected(), aoArchive);
    EXPECT_EQ(fList.DisplayPath(), "x/third.zip//mid.zip//y/inner.zip");
    EXPECT_EQ(Captions(), std::vector<std::string>{"p.jpg"});
    EXPECT_EQ(fList.FileName(), outer);
    EXPECT_TRUE(fChosen.empty());

    const std::vector<std::pair<TArchiverGoUp, std::string>> steps = {
        {guParent, "x/third.zip//mid.zip//y/"}, {guFolder, "x/third.zip//mid.zip"}, {guParent, "x/third.zip"},
        {guParent, "x/"},                        {guFolder, ""},                     {guLeave, ""}};
    for (const auto& [result, place] : steps) {
        EXPECT_EQ(fList.GoUp(), result) << place;
        EXPECT_EQ(fList.DisplayPath(), place);
    }
    EXPECT_EQ(fLeft, 1);
    EXPECT_FALSE(fList.Archiver());
    EXPECT_EQ(fList.Count(), 0);

    // The same place opened in one step, the levels opened on the way.
    ASSERT_TRUE(fList.ShowArchive(outer, "x/third.zip//mid.zip//y/", false));
    EXPECT_EQ(fList.CurrentFolder(), "y/");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"inner.zip", "q.jpg"}));
}

TEST_F(ArchiverListTest, ADamagedInnerArchiveIsAChosenFileAndTheListStays)
{
    // A zip signature in front of junk: the plug-in claims it, and listing fails.
    const std::string zip = Zip("book.zip", {{"bad.zip", "this is no archive at all"},
                                             {"cut.zip", std::string("PK\x03\x04") + std::string(60, '\xff')}});
    ASSERT_TRUE(fList.ShowArchive(zip, "", false));
    for (const std::string name : {"bad.zip", "cut.zip"}) {
        SelectCaption(name);
        const int row = fList.Selection().Focused;
        fChosen.clear();
        EXPECT_EQ(fList.OpenSelected(), aoFile) << name;
        EXPECT_EQ(fChosen, std::vector<int>{row}) << name;
        EXPECT_EQ(fList.DisplayPath(), "");
        EXPECT_EQ(fList.Archiver()->Parent(), nullptr);
    }
    // An inner path that fails with the keep-parent rule shows the parent.
    EXPECT_FALSE(fList.ShowArchive(zip, "bad.zip", true));
    EXPECT_EQ(fList.FileName(), zip);
    EXPECT_FALSE(fList.ShowArchive(zip, "missing.zip", false));
    EXPECT_EQ(fList.Count(), 2);
}

struct TRenameCase {
    const char* Name;
    const char* Place;  // shown before the rename
};

class ArchiverListRenameTest : public ArchiverListTest, public ::testing::WithParamInterface<TRenameCase> {};

TEST_P(ArchiverListRenameTest, KeepsTheViewOpenOnTheNewName)
{
    const std::string inner = ZipBytes({{"p.jpg", "p"}});
    const std::string zip = Zip("book.zip", {{"in/inner.zip", inner}, {"in/q.jpg", "q"}});
    std::vector<std::pair<std::string, std::string>> renamed;
    fList.OnFileRenamed = [&](const std::string& now, const std::string& before) { renamed.emplace_back(now, before); };
    ASSERT_TRUE(fList.ShowArchive(zip, GetParam().Place, false));
    const std::vector<std::string> before = Captions();

    const std::string moved = fProgram.Tree.File("work/renamed.zip");
    std::filesystem::rename(zip, moved);
    fList.ApplyFileChange({TArchiveFileChangeKind::afRenamed, zip, moved});
    EXPECT_EQ(renamed, (std::vector<std::pair<std::string, std::string>>{{moved, zip}}));
    EXPECT_EQ(fList.FileName(), moved);
    EXPECT_EQ(fList.DisplayPath(), GetParam().Place);
    EXPECT_EQ(Captions(), before);
    // The renamed file still reads: up to the folder and into the archive again.
    while (fList.Archiver()->Parent())
        fList.GoUp();
    fList.SetFolder("in/");
    SelectCaption("inner.zip");
    EXPECT_EQ(fList.OpenSelected(), aoArchive);
    fList.Reload(true);
    EXPECT_EQ(Captions(), std::vector<std::string>{"p.jpg"});
    EXPECT_EQ(fLeft, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, ArchiverListRenameTest,
                         ::testing::Values(TRenameCase{"AtAFolder", "in/"},
                                           TRenameCase{"InsideAnInnerArchive", "in/inner.zip"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ArchiverListTest, ChangesOfTheArchiveFileOnDisk)
{
    const std::string zip = Zip("book.zip", {{"a/1.jpg", "1"}, {"a/2.jpg", "2"}, {"b.jpg", "b"}});
    ASSERT_TRUE(fList.ShowArchive(zip, "a/", false));
    fList.Select({1, {1}});
    // Rewritten with another page: listed again at the same place, the
    // selection kept.
    Zip("book.zip", {{"a/0.jpg", "0"}, {"a/1.jpg", "1"}, {"a/2.jpg", "2"}});
    fList.ApplyFileChange({TArchiveFileChangeKind::afModified, zip, {}});
    EXPECT_EQ(Captions(), (std::vector<std::string>{"0.jpg", "1.jpg", "2.jpg"}));
    EXPECT_EQ(SelectedKeys(), std::vector<std::string>{"a/2.jpg"});
    // The folder vanished: the reload walks up and forgets the selection.
    Zip("book.zip", {{"c.jpg", "c"}});
    fList.Reload(false);
    EXPECT_EQ(fList.CurrentFolder(), "");
    EXPECT_EQ(Captions(), std::vector<std::string>{"c.jpg"});
    EXPECT_TRUE(fList.Selection().Selected.empty());
    // Changes of other files are passed over; a file that is no archive any
    // more is left, as is a removed one.
    fList.ApplyFileChange({TArchiveFileChangeKind::afRemoved, zip + ".other", {}});
    EXPECT_EQ(fLeft, 0);
    fProgram.Tree.Write("work/book.zip", "garbage");
    fList.Reload(true);
    EXPECT_EQ(fLeft, 1);
    EXPECT_FALSE(fList.Archiver());
}

struct TSizeCase {
    int64_t Bytes;
    TSizeUnit Unit;
    const char* Text;
};

class SizeColumnTest : public ::testing::TestWithParam<TSizeCase> {};

TEST_P(SizeColumnTest, Formats)
{
    EXPECT_EQ(FormatSizeColumn(GetParam().Bytes, GetParam().Unit), GetParam().Text);
}

// Each unit goes to the program's one formatter of its kind, so both lists
// show a size alike.
INSTANTIATE_TEST_SUITE_P(Rows, SizeColumnTest,
                         ::testing::Values(TSizeCase{1025, TSizeUnit::suKiloBytes, "2 KB"},
                                           TSizeCase{1263616, TSizeUnit::suBytes, "1,263,616"},
                                           TSizeCase{999, TSizeUnit::suBest, "999 バイト"},
                                           TSizeCase{1536, TSizeUnit::suBest, "1.5 kB"}));

}  // namespace
