#include <gtest/gtest.h>

#include <chrono>

#include <filesystem>

#include "base/PathUtils.h"
#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"
#include "support/FakeBook.h"

namespace {

using enum TShellStyle;
using enum TTreeNodeKind;
using enum TTreePlaceKind;
using enum TTreeDiskChangeKind;

// A place as the file list is asked to show it.
TTreePlace Place(TTreePlaceKind kind, std::string path = {}, std::string member = {}, int index = -1)
{
    TTreePlace place;
    place.Kind = kind;
    place.Path = std::move(path);
    place.MemberPath = std::move(member);
    place.ListIndex = index;
    return place;
}

class TNotices : public TShellTreeObserver, public TUserNotifier {
public:
    void TreeChanged(TShellTreeModel&, const TTreeChange& change) override { Changes.push_back(change); }
    void ShowMessage(const std::string& text, TMessageIcon) override { Messages.push_back(text); }

    std::vector<TTreeChange> Changes;
    std::vector<std::string> Messages;
};

class ShellTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The shipped plug-ins read the zip archives; nothing else is needed
        // of the program.
        fCore = fProgram.Start({}, TLoaders::ldShipped);
        fEnv.Loaders = fCore->Registry().Snapshot();
        fEnv.TempBase = IncludeTrailingPathDelimiter(fCore->TemporaryFolder());
    }

    std::string Root() const { return fProgram.Tree.File("work/"); }
    void MakeFolders(std::initializer_list<const char*> names) const
    {
        for (const char* name : names)
            std::filesystem::create_directories(Root() + name);
    }

    TShellTreeModel& Build(TShellStyle style, const TShellTreeOptions& options = {})
    {
        fTree = std::make_unique<TShellTreeModel>(
            TShellTreeSources{nullptr, &fShelves, &fMedia, &fCategories, &fNotices, nullptr});
        fTree->RegisterObserver(&fNotices);
        fTree->Navigate = [this](const TTreePlace& place) {
            fShown.push_back(place);
            return !fRefuse;
        };
        fTree->SetArchiveEnv(fEnv);
        fTree->SetOptions(options);
        fTree->SetRoot(Root());
        fTree->SetStyle(style);
        return *fTree;
    }

    // The node reached from the root through children of these texts, each
    // level filled on the way.
    const TTreeNode* At(const std::vector<std::string>& texts) const
    {
        const TTreeNode* node = fTree->Child(nullptr, 0);
        for (const std::string& text : texts) {
            fTree->Fill(node);
            const TTreeNode* next = nullptr;
            for (int i = 0; node && i < node->Count(); ++i) {
                if (node->Child(i)->Text() == text)
                    next = node->Child(i);
            }
            if (!next) {
                ADD_FAILURE() << "no node " << text;
                return nullptr;
            }
            node = next;
        }
        return node;
    }

    // The same node with its children listed.
    const TTreeNode* Opened(const std::vector<std::string>& texts) const
    {
        const TTreeNode* node = At(texts);
        fTree->Fill(node);
        return node;
    }

    static std::vector<std::string> Texts(const TTreeNode* node)
    {
        std::vector<std::string> texts;
        for (int i = 0; node && i < node->Count(); ++i)
            texts.push_back(node->Child(i)->Text());
        return texts;
    }

    static std::vector<bool> Buttons(const TTreeNode* node)
    {
        std::vector<bool> buttons;
        for (int i = 0; node && i < node->Count(); ++i)
            buttons.push_back(node->Child(i)->HasButton());
        return buttons;
    }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    TArchiveEnv fEnv;
    TGroupList fShelves;
    TMediaList fMedia;
    TCategoryList fCategories;
    TNotices fNotices;
    std::unique_ptr<TShellTreeModel> fTree;
    std::vector<TTreePlace> fShown;
    bool fRefuse = false;
};

// ---- The root level of each style ----

struct TRootRow {
    TShellStyle Style;
    std::string Text;  // empty: no root at all
    TTreeNodeKind Kind;
    std::vector<std::string> Children;
    std::vector<bool> Buttons;
};

class ShellTreeRootTest : public ShellTreeTest, public ::testing::WithParamInterface<TRootRow> {};

TEST_P(ShellTreeRootTest, BuildsTheRootLevelExpandedAndSelected)
{
    const TRootRow& row = GetParam();
    MakeFolders({"x"});
    fProgram.Tree.Write("work/f.jpg", "picture");
    AddPaths(*fShelves.Group(fShelves.Add("A", 0, "")), {Root() + "x"});
    AddPaths(*fShelves.Group(fShelves.Add("B", 0, "")), {Root() + "f.jpg"});
    fMedia.Add("M1", 0, "");
    fCategories.Add("C1", 0, "");
    TShellTreeModel& tree = Build(row.Style);

    const TTreeNode* root = tree.Child(nullptr, 0);
    if (row.Text.empty()) {
        EXPECT_EQ(root, nullptr);
        return;
    }
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Text(), row.Text);
    EXPECT_EQ(root->Kind(), row.Kind);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(Texts(root), row.Children);
    EXPECT_EQ(Buttons(root), row.Buttons);
    // Building selects the root without sending the file list anywhere.
    EXPECT_EQ(tree.Selected(), root);
    EXPECT_TRUE(fShown.empty());
}

INSTANTIATE_TEST_SUITE_P(Styles, ShellTreeRootTest,
                         ::testing::Values(TRootRow{ssFolder, "work", nkShellFolder, {"x"}, {true}},
                                           TRootRow{ssGroup, "本棚", nkShelfRoot, {"A", "B"}, {true, false}},
                                           TRootRow{ssMedia, "メディア", nkMediaRoot, {"M1"}, {true}},
                                           TRootRow{ssCategory, "カテゴリ", nkCategoryRoot, {"C1"}, {true}},
                                           TRootRow{ssNone, "", nkNone, {}, {}}));

TEST_F(ShellTreeTest, ACategoryShowsItsLevelsOnceSorted)
{
    fProgram.Tree.Write("work/p/a.jpg", "x");
    TCategoryFolder& category = *fCategories.Category(fCategories.Add("C", 0, ""));
    category.SetTargets({{TSearchTargetKind::tkFolder, Root() + "p", true}});
    TShellTreeModel& tree = Build(ssCategory);
    tree.OnCategoryLoading = [](TCategoryFolder& shown) { shown.Load(); };
    tree.CategoryChildren = [](TCategoryFolder& shown, const std::string& item) {
        std::vector<std::string> children = shown.CategoryTree().Children(item.empty() ? item : item.substr(0, item.size() - 1));
        for (std::string& child : children)
            child += '/';
        return children;
    };
    const TTreeNode* node = tree.Child(tree.Child(nullptr, 0), 0);
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(tree.Expand(node));
    EXPECT_EQ(node->Count(), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (category.Busy() && std::chrono::steady_clock::now() < deadline)
        fCategories.Tasks().RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    // The notice of the finished sorting fills the category's node again.
    node = tree.Child(tree.Child(nullptr, 0), 0);
    tree.Expand(node);
    ASSERT_EQ(node->Count(), 1);
    EXPECT_EQ(node->Child(0)->Text().size(), 4u);  // the year
}

TEST_F(ShellTreeTest, TheVirtualRootListsHomeAndTheRootFolder)
{
    TShellTreeModel& tree = Build(ssFolder);
    tree.SetRoot("");
    const TTreeNode* root = tree.Child(nullptr, 0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->Text(), "コンピュータ");
    EXPECT_EQ(tree.PlaceOf(root).Kind, tpRoot);
    std::vector<std::string> paths;
    for (int i = 0; i < root->Count(); ++i)
        paths.push_back(IncludeTrailingPathDelimiter(root->Child(i)->Folder()->GetPath()));
    ASSERT_GE(paths.size(), 2u);
    EXPECT_EQ(paths[0], HomeDirectory());
    EXPECT_EQ(paths[1], "/");
    EXPECT_THROW(tree.SetRoot(Root() + "missing"), EMirevaError);
    EXPECT_EQ(tree.Child(nullptr, 0), nullptr);
}

// ---- Filling a folder: order and expand buttons ----

struct TFillRow {
    TShellTreeOptions Options;
    std::vector<std::string> Children;
    std::vector<bool> Buttons;
};

class ShellTreeFillTest : public ShellTreeTest, public ::testing::WithParamInterface<TFillRow> {};

TEST_P(ShellTreeFillTest, ListsFoldersThenArchivesByNameWithTheirButtons)
{
    MakeFolders({"b", "A", "10", "2", ".hid", "deep/inner", "arc"});
    fProgram.Tree.Write("work/arc/x.zip", "zip");
    fProgram.Tree.Write("work/x.jpg", "picture");
    fProgram.Tree.Write("work/book.zip", "zip");
    Build(ssFolder, GetParam().Options);
    const TTreeNode* root = At({});
    EXPECT_EQ(Texts(root), GetParam().Children);
    EXPECT_EQ(Buttons(root), GetParam().Buttons);
    // Expanding a folder without sub-folders takes its button away.
    const TTreeNode* two = At({"2"});
    fTree->Expand(two);
    EXPECT_TRUE(two->Filled());
    EXPECT_FALSE(two->HasButton());
}

INSTANTIATE_TEST_SUITE_P(
    Options, ShellTreeFillTest,
    ::testing::Values(
        // Without CheckSubFolders every folder has a button until expanded.
        TFillRow{{.ShowHidden = true, .CheckSubFolders = false, .ShowArchives = true},
                 {".hid", "2", "10", "A", "arc", "b", "deep", "book.zip"},
                 {true, true, true, true, true, true, true, true}},
        // A folder holding only an archive counts as having children.
        TFillRow{{.ShowHidden = true, .CheckSubFolders = true, .ShowArchives = true},
                 {".hid", "2", "10", "A", "arc", "b", "deep", "book.zip"},
                 {false, false, false, false, true, false, true, true}},
        TFillRow{{.ShowHidden = false, .CheckSubFolders = true, .ShowArchives = false},
                 {"2", "10", "A", "arc", "b", "deep"},
                 {false, false, false, false, false, true}}));

// ---- Archives as nodes ----

TEST_F(ShellTreeTest, ArchivesShowTheirFoldersAndInnerArchives)
{
    WriteZip(fProgram.Tree.File("inner.zip"), {{"x/4.fake", FakePage(4)}});
    WriteZip(Root() + "book.zip", {{"a/1.fake", FakePage(1)},
                                   {"a/b/2.fake", FakePage(2)},
                                   {"c/3.fake", FakePage(3)},
                                   {"a/inner.zip", ReadWholeFile(fProgram.Tree.File("inner.zip"))},
                                   {"a/bad.zip", "not an archive"},
                                   {"top.fake", FakePage(0)}});
    WriteZip(Root() + "flat.zip", {{"p.fake", FakePage(0)}});
    Build(ssFolder);

    EXPECT_EQ(Texts(Opened({"book.zip"})), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(Buttons(Opened({"book.zip"})), (std::vector<bool>{true, false}));
    const TTreeNode* a = Opened({"book.zip", "a"});
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"b", "bad.zip", "inner.zip"}));
    EXPECT_EQ(a->Child(1)->Kind(), nkInnerArchive);
    EXPECT_EQ(Texts(Opened({"book.zip", "a", "inner.zip"})), std::vector<std::string>{"x"});

    // An archive with members at its top only has nothing to expand.
    const TTreeNode* flat = At({"flat.zip"});
    fTree->Fill(flat);
    EXPECT_FALSE(flat->HasButton());

    const TTreeNode* bad = At({"book.zip", "a", "bad.zip"});
    fTree->Fill(bad);
    EXPECT_EQ(bad->Count(), 0);
    EXPECT_FALSE(bad->HasButton());
    EXPECT_EQ(fNotices.Messages, std::vector<std::string>{"'bad.zip' は開けませんでした  "});

    const std::string book = Root() + "book.zip";
    EXPECT_EQ(fTree->PlaceOf(At({"book.zip"})), Place(tpArchive, book));
    EXPECT_EQ(fTree->PlaceOf(At({"book.zip", "a", "b"})).ArchiveFolder, "a/b/");
    EXPECT_EQ(fTree->PlaceOf(At({"book.zip", "a", "inner.zip"})).ArchiveFolder, "a/inner.zip");
    EXPECT_EQ(fTree->PlaceOf(At({"book.zip", "a", "inner.zip", "x"})).ArchiveFolder, "a/inner.zip//x/");

    // Following the archive list opens the way down in a fresh tree.
    Build(ssFolder);
    const TTreeNode* x = fTree->FindArchiveNode(book, "a/inner.zip//x/", true);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Text(), "x");
    EXPECT_EQ(fTree->Selected(), x);
    EXPECT_TRUE(fShown.empty());
}

// ---- Selection and places ----

struct TPlaceRow {
    TShellStyle Style;
    std::vector<std::string> Way;  // texts from the root
    TTreePlace Place;              // "@" in paths stands for the work folder
};

class ShellTreePlaceTest : public ShellTreeTest, public ::testing::WithParamInterface<TPlaceRow> {};

TEST_P(ShellTreePlaceTest, SelectingANodeShowsItsPlace)
{
    MakeFolders({"sub/deeper"});
    AddPaths(*fShelves.Group(fShelves.Add("S", 0, "")), {Root() + "sub"});
    fMedia.Add("M", 0, "");
    fCategories.Add("C", 0, "");
    TShellTreeModel& tree = Build(GetParam().Style);
    tree.OnMediaLoading = [](TMediaFolder& medium) {
        for (const char* path : {"D", "D/E", "D/E/f.jpg"}) {
            auto record = std::make_unique<TCtFileInfo>();
            record->Path = path;
            record->IsDirectory = std::string(path).find('.') == std::string::npos;
            medium.AddRecord(std::move(record));
        }
        medium.Loaded = true;
    };
    tree.CategoryChildren = [](TCategoryFolder&, const std::string& item) {
        return item.empty() ? std::vector<std::string>{"2004/"} : std::vector<std::string>{};
    };
    const TTreeNode* node = At(GetParam().Way);
    ASSERT_NE(node, nullptr);
    // Selecting the selected node asks nothing.
    if (node == tree.Selected())
        tree.SelectQuietly(nullptr);

    TTreePlace expected = GetParam().Place;
    for (std::string* path : {&expected.Path, &expected.MemberPath}) {
        if (!path->empty() && path->front() == '@')
            *path = Root() + path->substr(1);
    }
    EXPECT_TRUE(tree.Select(node));
    EXPECT_EQ(tree.Selected(), node);
    if (expected.Kind == tpNone) {
        EXPECT_TRUE(fShown.empty());
    } else {
        ASSERT_EQ(fShown.size(), 1u);
        EXPECT_EQ(fShown[0], expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, ShellTreePlaceTest,
    ::testing::Values(
        TPlaceRow{ssFolder, {}, Place(tpFolder, "@")},
        TPlaceRow{ssFolder, {"sub", "deeper"}, Place(tpFolder, "@sub/deeper/")},
        TPlaceRow{ssGroup, {}, Place(tpShelves)},
        TPlaceRow{ssGroup, {"S"}, Place(tpShelf, {}, {}, 0)},
        TPlaceRow{ssGroup, {"S", "sub"}, Place(tpShelfMember, "@sub/", "@sub", 0)},
        TPlaceRow{ssGroup,
                  {"S", "sub", "deeper"},
                  Place(tpShelfFolder, "@sub/deeper/", "@sub", 0)},
        TPlaceRow{ssMedia, {}, Place(tpMedia)},
        TPlaceRow{ssMedia, {"M"}, Place(tpMedium, {}, {}, 0)},
        TPlaceRow{ssMedia, {"M", "D", "E"}, Place(tpMediumFolder, "D/E/", {}, 0)},
        TPlaceRow{ssCategory, {}, Place(tpCategories)},
        TPlaceRow{ssCategory, {"C"}, Place(tpCategory, {}, {}, 0)},
        TPlaceRow{ssCategory, {"C", "2004"}, Place(tpCategoryItem, "2004/", {}, 0)}));

TEST_F(ShellTreeTest, ARefusedPlaceSelectsThePreviousNodeAgain)
{
    MakeFolders({"sub"});
    TShellTreeModel& tree = Build(ssFolder);
    const TTreeNode* root = tree.Selected();
    fRefuse = true;
    EXPECT_FALSE(tree.Select(At({"sub"})));
    EXPECT_EQ(tree.Selected(), root);
    ASSERT_FALSE(fNotices.Changes.empty());
    EXPECT_EQ(fNotices.Changes.back().Kind, TTreeChangeKind::tcSelect);
    EXPECT_EQ(fNotices.Changes.back().Node, root);
    fRefuse = false;
    EXPECT_TRUE(tree.Select(At({"sub"})));
    EXPECT_TRUE(tree.SelectParent());
    EXPECT_EQ(tree.Selected(), root);
}

// ---- Following the file list ----

TEST_F(ShellTreeTest, FindPathNodeMakesTheWayDownAndSelectsQuietly)
{
    MakeFolders({"deep/inner/most", ".hid/sub"});
    TShellTreeModel& tree = Build(ssFolder, {.ShowHidden = false});
    const TTreeNode* root = tree.Selected();
    EXPECT_EQ(tree.FindPathNode(Root() + "deep/inner/most", false), nullptr);
    EXPECT_EQ(tree.Selected(), root);

    const TTreeNode* most = tree.FindPathNode(Root() + "deep/inner/most/", true);
    ASSERT_NE(most, nullptr);
    EXPECT_EQ(most->Text(), "most");
    EXPECT_EQ(tree.Selected(), most);
    EXPECT_TRUE(most->Parent()->Expanded());
    EXPECT_TRUE(most->Parent()->Parent()->Expanded());
    EXPECT_TRUE(fShown.empty());

    // The list may stand in a folder the tree leaves out.
    const TTreeNode* hidden = tree.FindPathNode(Root() + ".hid/sub", true);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->Parent()->Text(), ".hid");
    EXPECT_EQ(tree.FindPathNode(Root() + "missing", true), nullptr);
    EXPECT_EQ(tree.FindPathNode(fProgram.Tree.File("data"), true), nullptr);
}

// ---- Changes on disk ----

TEST_F(ShellTreeTest, ChangesOnDiskKeepTheTreeSortedAndTheSelectionValid)
{
    MakeFolders({"a/x", "c", "deep/inner", "two"});
    TShellTreeModel& tree = Build(ssFolder, {.CheckSubFolders = true});
    const TTreeNode* root = At({});

    // Added in an expanded folder: in its sorted place.
    MakeFolders({"b"});
    tree.ApplyDiskChange({dcAdded, Root() + "b", {}});
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"a", "b", "c", "deep", "two"}));
    EXPECT_EQ(fNotices.Changes.back().Kind, TTreeChangeKind::tcInsert);
    EXPECT_EQ(fNotices.Changes.back().First, 1);

    // Added in a folder never expanded: only its button.
    const TTreeNode* two = At({"two"});
    EXPECT_FALSE(two->HasButton());
    MakeFolders({"two/sub"});
    tree.ApplyDiskChange({dcAdded, Root() + "two/sub", {}});
    EXPECT_TRUE(two->HasButton());
    EXPECT_FALSE(two->Filled());

    // Removed with the selection inside: the list moves to the nearest
    // folder still there before the node goes.
    const TTreeNode* inner = tree.FindPathNode(Root() + "deep/inner", true);
    ASSERT_NE(inner, nullptr);
    std::filesystem::remove_all(Root() + "deep");
    fNotices.Changes.clear();
    tree.ApplyDiskChange({dcRemoved, Root() + "deep", {}});
    EXPECT_EQ(fShown, (std::vector<TTreePlace>{Place(tpFolder, Root())}));
    ASSERT_GE(fNotices.Changes.size(), 2u);
    EXPECT_EQ(fNotices.Changes[0].Kind, TTreeChangeKind::tcSelect);
    EXPECT_EQ(fNotices.Changes[1].Kind, TTreeChangeKind::tcRemove);
    EXPECT_EQ(tree.Selected(), root);
    EXPECT_FALSE(tree.HasNode(inner));

    // Renamed with the selection inside: the node takes the new name and
    // place, drops its children and the list follows it there.
    tree.FindPathNode(Root() + "a/x", true);
    std::filesystem::rename(Root() + "a", Root() + "zz");
    tree.ApplyDiskChange({dcRenamed, Root() + "a", Root() + "zz"});
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"b", "c", "two", "zz"}));
    EXPECT_EQ(tree.Selected(), root->Child(3));
    EXPECT_FALSE(root->Child(3)->Filled());
    EXPECT_EQ(fShown.back(), Place(tpFolder, Root() + "zz/"));

    // A file list that refuses to move still loses the vanishing node.
    tree.FindPathNode(Root() + "c", true);
    fRefuse = true;
    std::filesystem::remove_all(Root() + "c");
    tree.ApplyDiskChange({dcRemoved, Root() + "c", {}});
    EXPECT_EQ(tree.Selected(), root);
}

// ---- Shelf notices ----

TEST_F(ShellTreeTest, TheShelfTreeFollowsTheShelfList)
{
    MakeFolders({"f1", "f2", "g", "h"});
    AddPaths(*fShelves.Group(fShelves.Add("S1", 0, "")), {Root() + "f1"});
    AddPaths(*fShelves.Group(fShelves.Add("S2", 0, "")), {Root() + "f2"});
    fShelves.Add("S3", 0, "");
    TShellTreeModel& tree = Build(ssGroup);
    const TTreeNode* root = At({});

    fShelves.Add("S4", 0, "");
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"S1", "S2", "S3", "S4"}));

    // Deleting the selected shelf moves the selection (and the list) on first.
    ASSERT_TRUE(tree.Select(At({"S2"})));
    fShown.clear();
    fShelves.Delete(1);
    EXPECT_EQ(fShown, (std::vector<TTreePlace>{Place(tpShelf, {}, {}, 2)}));
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"S1", "S3", "S4"}));
    EXPECT_EQ(tree.Selected()->Text(), "S3");

    fShelves.Sort(TCustomFolderList::SortByName, true);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"S4", "S3", "S1"}));
    fShelves.Move(0, 2);
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"S3", "S1", "S4"}));
    fShelves.Move(2, 0);
    fShelves.Group(2)->SetName("T1");
    EXPECT_EQ(Texts(root), (std::vector<std::string>{"S4", "S3", "T1"}));

    TGroupFolder& shelf = *fShelves.Group(2);
    const TTreeNode* shelfNode = Opened({"T1"});
    EXPECT_EQ(Texts(shelfNode), std::vector<std::string>{"f1"});
    AddPaths(shelf, {Root() + "g"});
    EXPECT_EQ(Texts(shelfNode), (std::vector<std::string>{"f1", "g"}));
    shelf.DeleteItem(0);
    EXPECT_EQ(Texts(shelfNode), std::vector<std::string>{"g"});
    ASSERT_TRUE(shelf.ChangeItemPath(shelf.Key(0), Root() + "h"));
    EXPECT_EQ(Texts(shelfNode), std::vector<std::string>{"h"});
    EXPECT_EQ(tree.PlaceOf(shelfNode->Child(0)).Path, Root() + "h/");
}

// ---- Renaming in place ----

TEST_F(ShellTreeTest, RenamingIsRefusedAboveTheSelectionAndKeepsTheOrder)
{
    MakeFolders({"a/b", "c"});
    fProgram.Tree.Write("work/book.zip", "zip");
    TShellTreeModel& tree = Build(ssFolder, {.EditExtension = false});
    ASSERT_NE(tree.FindPathNode(Root() + "a/b", true), nullptr);
    try {
        tree.Rename(At({"a"}), "z");
        ADD_FAILURE() << "renamed the selection's ancestor";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "z への名称変更に失敗しました  ");
    }
    EXPECT_TRUE(DirectoryExists(Root() + "a"));

    EXPECT_FALSE(tree.Rename(At({"c"}), " c "));
    EXPECT_TRUE(tree.Rename(At({"c"}), "0"));
    EXPECT_TRUE(DirectoryExists(Root() + "0"));
    EXPECT_EQ(Texts(At({})), (std::vector<std::string>{"0", "a", "book.zip"}));

    // The extension stays when it is not edited.
    EXPECT_EQ(tree.EditText(At({"book.zip"})), "book");
    EXPECT_TRUE(tree.Rename(At({"book.zip"}), "novel"));
    EXPECT_TRUE(FileExists(Root() + "novel.zip"));
    EXPECT_EQ(Texts(At({})), (std::vector<std::string>{"0", "a", "novel.zip"}));
}

TEST_F(ShellTreeTest, RenamingACollectionNodeRenamesItsFolderOrSaysWhyNot)
{
    MakeFolders({"m"});
    fShelves.Add("S1", 0, "");
    AddPaths(*fShelves.Group(fShelves.Add("S2", 0, "")), {Root() + "m"});
    for (TCustomFolderList* list : {static_cast<TCustomFolderList*>(&fMedia), static_cast<TCustomFolderList*>(&fCategories)}) {
        list->Add("S1", 0, "");
        list->Add("S2", 0, "");
    }
    // Two of one name could not be told apart (and two media would share
    // their catalogue files).
    const std::pair<TShellStyle, const char*> refusals[] = {{ssGroup, "同名の本棚が存在します  "},
                                                             {ssMedia, "同名のメディアが存在します  "},
                                                             {ssCategory, "同名のカテゴリが存在します  "}};
    for (const auto& [style, text] : refusals) {
        Build(style);
        try {
            fTree->Rename(At({"S1"}), "s2");
            ADD_FAILURE() << "two of one name";
        } catch (const EMirevaError& e) {
            EXPECT_STREQ(e.what(), text);
        }
        EXPECT_EQ(At({})->Child(0)->Text(), "S1");
    }

    TShellTreeModel& tree = Build(ssGroup);
    EXPECT_TRUE(tree.Rename(At({"S1"}), " New "));
    EXPECT_EQ(fShelves.Group(0)->Name(), "New");
    EXPECT_EQ(At({})->Child(0)->Text(), "New");

    // A member renamed through the tree stays in its shelf.
    EXPECT_TRUE(tree.Rename(At({"S2", "m"}), "n"));
    EXPECT_EQ(fShelves.Group(1)->Key(0), Root() + "n");
    EXPECT_EQ(Texts(Opened({"S2"})), std::vector<std::string>{"n"});
}

// ---- Requests about nodes the tree does not hold ----

TEST_F(ShellTreeTest, RequestsAboutUnknownNodesDoNothing)
{
    MakeFolders({"a"});
    TShellTreeModel& tree = Build(ssFolder);
    const TTreeNode* root = tree.Child(nullptr, 0);
    EXPECT_EQ(tree.Child(nullptr, 1), nullptr);
    EXPECT_EQ(tree.Child(root, -1), nullptr);
    EXPECT_EQ(tree.Child(root, root->Count()), nullptr);

    const TTreeNode* gone = At({"a"});
    std::filesystem::remove(Root() + "a");
    tree.ApplyDiskChange({dcRemoved, Root() + "a", {}});
    TTreeNode stranger;
    for (const TTreeNode* node : {gone, static_cast<const TTreeNode*>(&stranger)}) {
        EXPECT_FALSE(tree.HasNode(node));
        EXPECT_EQ(tree.Child(node, 0), nullptr);
        EXPECT_FALSE(tree.Select(node));
        EXPECT_FALSE(tree.Fill(node));
        EXPECT_FALSE(tree.CanRename(node));
        EXPECT_FALSE(tree.Rename(node, "b"));
        EXPECT_EQ(tree.PlaceOf(node).Kind, tpNone);
        EXPECT_EQ(tree.FindPathNode(Root(), true, node), nullptr);
    }
    EXPECT_EQ(tree.Selected(), root);
}

}  // namespace
