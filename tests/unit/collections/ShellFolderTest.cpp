#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "collections/ShellFolder.h"
#include "collections/ShellInfo.h"
#include "base/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Mounts.h"
#include "support/TempFolder.h"

namespace {

std::string Plain(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

class TFakeInfo : public TShellInfo {
public:
    std::string TypeName(const std::string&, bool isDirectory) override
    {
        ++Calls;
        return isDirectory ? "folder type" : "file type";
    }
    int IconIndex(const std::string&, bool isDirectory, bool open, bool byType) override
    {
        ++Calls;
        if (byType)
            return 7;
        return open ? (OpenIcons ? 2 : -1) : (isDirectory ? 1 : 3);
    }
    int Calls = 0;
    bool OpenIcons = true;
};

TEST(ItemIdList, OwnBlocksRoundTripAndForeignBlocksStayOpaque)
{
    const TItemIdList id = TItemIdList::FromPath("/home/u/本.zip");
    ASSERT_TRUE(id.HasPath());
    EXPECT_EQ(id.Size(), TItemIdList::Overhead + std::string("/home/u/本.zip").size());
    EXPECT_EQ(id.Bytes()[2], 'L');
    const TItemIdList back = TItemIdList::FromBytes(id.Bytes());
    EXPECT_EQ(back.Path(), "/home/u/本.zip");
    EXPECT_EQ(back, id);

    // Non-UTF-8 names are kept as the file system's bytes.
    EXPECT_EQ(TItemIdList::FromBytes(TItemIdList::FromPath("/x/\xff\xfe").Bytes()).Path(), "/x/\xff\xfe");

    EXPECT_TRUE(TItemIdList::FromBytes({0, 0}).IsRoot());
    EXPECT_TRUE(TItemIdList::FromBytes({}).IsAbsent());
    EXPECT_TRUE(TItemIdList::FromPath("relative").IsAbsent());
    EXPECT_TRUE(TItemIdList::FromPath("").IsAbsent());
    EXPECT_TRUE(TItemIdList::FromPath(std::string("/a\0b", 4)).IsAbsent());
    EXPECT_TRUE(TItemIdList::FromPath("/" + std::string(70000, 'a')).IsAbsent());
}

struct TBlockCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
};

class ForeignBlock : public ::testing::TestWithParam<TBlockCase> {};

TEST_P(ForeignBlock, IsKeptWithoutAPath)
{
    const TItemIdList id = TItemIdList::FromBytes(GetParam().Bytes);
    EXPECT_TRUE(id.IsForeign());
    EXPECT_TRUE(id.Path().empty());
    EXPECT_EQ(id.Bytes(), GetParam().Bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ForeignBlock,
    ::testing::Values(TBlockCase{"WindowsList", {0x06, 0x00, 0x1f, 0x50, 0xe0, 0x4f, 0x00, 0x00}},
                      TBlockCase{"SizeBeyondBlock", {0xff, 0x00, 'L', 'X', 'P', '1', '/', 0x00, 0x00}},
                      TBlockCase{"OneByte", {0x00}},
                      TBlockCase{"TagWithRelativePath", {0x07, 0x00, 'L', 'X', 'P', '1', 'a', 0x00, 0x00}},
                      TBlockCase{"MissingTerminator", {0x07, 0x00, 'L', 'X', 'P', '1', '/', 0x00}},
                      TBlockCase{"BytesAfterRoot", {0x00, 0x00, 0x01}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ItemIdList, ParentWalksUpToTheRoot)
{
    EXPECT_EQ(TItemIdList::FromPath("/a/b").Parent().Path(), "/a");
    EXPECT_EQ(TItemIdList::FromPath("/a").Parent().Path(), "/");
    EXPECT_TRUE(TItemIdList::FromPath("/").Parent().IsRoot());
    EXPECT_TRUE(TItemIdList::FromBytes({1, 2, 3}).Parent().IsAbsent());
}

TEST(ItemIdList, NamesAreRelativeBlocksThatFilesNeverHold)
{
    const TItemIdList name = TItemIdList::FromName("p1.jpg");
    ASSERT_TRUE(name.IsName());
    EXPECT_EQ(name.Name(), "p1.jpg");
    EXPECT_TRUE(name.Path().empty());
    EXPECT_TRUE(name.Parent().IsAbsent());
    EXPECT_NE(name, TItemIdList::FromPath("/p1.jpg"));
    // Read back from bytes, a relative block is nothing we would store.
    EXPECT_TRUE(TItemIdList::FromBytes(name.Bytes()).IsForeign());
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "a/b", std::string("a\0b", 3)})
        EXPECT_TRUE(TItemIdList::FromName(bad).IsAbsent()) << bad;
    EXPECT_TRUE(TItemIdList::FromPath("/a").Name().empty());
}

struct TReachCase {
    const char* Name;
    const char* Item;      // relative to the temporary folder; "<root>" for the root
    const char* Boundary;  // the same; "" for none
    const char* Expected;  // the ancestor, "" for none, "<root>" for the root
};

class Reachable : public ::testing::TestWithParam<TReachCase> {};

TEST_P(Reachable, AncestorIsTheFirstOneThere)
{
    TTempFolder folder;
    folder.Write("a/b/c.jpg", "x");
    folder.Write("a/f.jpg", "x");
    ASSERT_EQ(::symlink(folder.File("a/b").c_str(), folder.File("a/link").c_str()), 0);
    const std::string base = Plain(folder.Path());
    auto id = [&](const std::string& relative) {
        if (relative == "<root>")
            return TItemIdList::Root();
        return relative.empty() ? TItemIdList() : TItemIdList::FromPath(base + "/" + relative);
    };
    const TItemIdList found = ReachableAncestor(id(GetParam().Item), id(GetParam().Boundary));
    const std::string expected = GetParam().Expected;
    if (expected.empty())
        EXPECT_TRUE(found.IsAbsent()) << found.Path();
    else if (expected == "<root>")
        EXPECT_TRUE(found.IsRoot());
    else
        EXPECT_EQ(found.Path(), base + "/" + expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Reachable,
    ::testing::Values(TReachCase{"ParentOfAFile", "a/b/c.jpg", "", "a/b"},
                      TReachCase{"SkipsMissingFolders", "a/gone/deeper/x.jpg", "", "a"},
                      TReachCase{"ThroughALink", "a/link/missing.jpg", "", "a/link"},
                      TReachCase{"StartsAboveTheItem", "a/b", "", "a"},
                      TReachCase{"StopsAtTheBoundary", "a/gone/x.jpg", "a", ""},
                      TReachCase{"BoundaryWithTrailingSlash", "a/gone/x.jpg", "a/", ""},
                      TReachCase{"BoundaryBelowTheAncestorFound", "a/b/c.jpg", "a", "a/b"},
                      TReachCase{"RootHasNoAncestor", "<root>", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShellFolder, ReachabilityOfIdentities)
{
    TTempFolder folder;
    folder.Write("a/f.jpg", "x");
    ASSERT_EQ(::symlink(folder.File("nothing").c_str(), folder.File("dangling").c_str()), 0);
    EXPECT_TRUE(IsReachable(TItemIdList::Root()));
    EXPECT_TRUE(IsReachable(TItemIdList::FromPath("/")));
    EXPECT_TRUE(IsReachable(TItemIdList::FromPath(folder.File("a"))));
    EXPECT_TRUE(IsReachable(TItemIdList::FromPath(folder.File("a/f.jpg"))));
    EXPECT_FALSE(IsReachable(TItemIdList::FromPath(folder.File("a/g.jpg"))));
    EXPECT_FALSE(IsReachable(TItemIdList::FromPath(folder.File("dangling"))));
    EXPECT_FALSE(IsReachable(TItemIdList::FromName("a")));
    EXPECT_FALSE(IsReachable(TItemIdList::FromBytes({6, 0, 0x1f, 0x50, 0xe0, 0x4f, 0, 0})));
    EXPECT_FALSE(IsReachable(TItemIdList()));
    // Foreign and relative identities have no parent to walk to; "/" has the root.
    EXPECT_TRUE(ReachableAncestor(TItemIdList::FromBytes({1, 2, 3}), TItemIdList()).IsAbsent());
    EXPECT_TRUE(ReachableAncestor(TItemIdList::FromName("x"), TItemIdList()).IsAbsent());
    EXPECT_TRUE(ReachableAncestor(TItemIdList::FromPath("/"), TItemIdList()).IsRoot());
    EXPECT_TRUE(ReachableAncestor(TItemIdList::FromPath("/"), TItemIdList::Root()).IsAbsent());
    EXPECT_EQ(ReachableAncestor(TItemIdList::FromPath("/no-such-top/x.jpg"), TItemIdList()).Path(), "/");
}

TEST(ShellFolder, ReplacingTheRelativeIdentityRepointsWithinTheParent)
{
    TTempFolder folder;
    folder.Write("dir/a.jpg", std::string(10, 'x'));
    folder.Write("dir/b.jpg", std::string(20, 'x'));
    auto parent = TShellFolder::CreateFromPath(nullptr, Plain(folder.File("dir")));
    auto node = TShellFolder::CreateFromPath(parent.get(), folder.File("dir/a.jpg"));
    EXPECT_EQ(node->GetItemId(), TItemIdList::FromName("a.jpg"));
    EXPECT_EQ(node->GetSize(), 10);
    node->LoadColumnDetails(2);

    ASSERT_TRUE(node->ReplaceItemId(TItemIdList::FromName("b.jpg")));
    EXPECT_EQ(node->GetPath(), folder.File("dir/b.jpg"));
    EXPECT_EQ(node->GetFullItemId().Path(), folder.File("dir/b.jpg"));
    EXPECT_EQ(node->GetItemId().Name(), "b.jpg");
    EXPECT_EQ(node->GetName(), "b.jpg");
    EXPECT_EQ(node->GetSize(), 20);
    EXPECT_FALSE(node->DetailsLoaded());
    EXPECT_EQ(node->Parent(), parent.get());

    // Only a name can name an item inside a real folder.
    EXPECT_FALSE(node->ReplaceItemId(TItemIdList::FromPath(folder.File("dir/a.jpg"))));
    EXPECT_FALSE(node->ReplaceItemId(TItemIdList()));
    EXPECT_EQ(node->GetPath(), folder.File("dir/b.jpg"));

    // Below the root the identity inside the parent is the full one.
    auto root = TShellFolder::CreateRoot();
    auto top = TShellFolder::CreateFromPath(root.get(), "/");
    EXPECT_EQ(top->GetItemId(), TItemIdList::FromPath("/"));
    EXPECT_FALSE(top->ReplaceItemId(TItemIdList::FromName("dir")));
    ASSERT_TRUE(top->ReplaceItemId(TItemIdList::FromPath(Plain(folder.File("dir")))));
    EXPECT_EQ(top->GetPath(), Plain(folder.File("dir")));
    EXPECT_TRUE(top->IsDirectory());
    EXPECT_TRUE(root->GetItemId().IsRoot());

    // The full identity's replacement leaves a relative one that follows.
    node->ReplaceFullItemId(TItemIdList::FromPath(folder.File("dir/a.jpg")));
    EXPECT_EQ(node->GetItemId().Name(), "a.jpg");
}

TEST(ShellFolder, RootSlashIsAFolderWithoutAsking)
{
    auto node = TShellFolder::CreateFromPath(nullptr, "/");
    EXPECT_TRUE(node->IsDirectory());
    EXPECT_EQ(node->GetName(), "/");
    EXPECT_FALSE(node->OwnsParent());
    auto root = TShellFolder::CreateRoot();
    EXPECT_TRUE(root->IsDirectory());
    EXPECT_TRUE(root->NoFileData());
    EXPECT_TRUE(root->GetFullItemId().IsRoot());
    EXPECT_EQ(root->GetFolderKind(), TFolderKind::fdVirtual);
}

TEST(ShellFolder, NodeWithoutParentOwnsOneSyntheticParent)
{
    auto node = TShellFolder::CreateFromPath(nullptr, "/nowhere/A/B.jpg");
    ASSERT_TRUE(node->OwnsParent());
    EXPECT_EQ(node->Parent()->GetPath(), "/nowhere/A");
    EXPECT_EQ(node->Parent()->Parent(), nullptr);
    EXPECT_EQ(node->GetName(), "B.jpg");
    // Nothing on disk: no data, no error.
    EXPECT_TRUE(node->NoFileData());
    EXPECT_EQ(node->GetSize(), 0);
    EXPECT_FALSE(node->IsDirectory());
    EXPECT_EQ(node->GetFullItemId().Path(), "/nowhere/A/B.jpg");
    // A foreign identity gives a node without a path.
    auto foreign = TShellFolder::Create(nullptr, TItemIdList::FromBytes({9, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0}));
    EXPECT_TRUE(foreign->GetPath().empty());
    EXPECT_TRUE(foreign->NoFileData());
    EXPECT_TRUE(foreign->GetFullItemId().IsForeign());
}

TEST(ShellFolder, PropertiesComeFromTheFile)
{
    TTempFolder folder;
    folder.Write("book/p1.jpg", std::string(1500, 'x'));
    folder.Write(".hidden", "");
    ASSERT_EQ(::symlink(folder.File("book").c_str(), folder.File("link").c_str()), 0);
    TFakeInfo info;

    auto file = TShellFolder::CreateFromPath(nullptr, folder.File("book/p1.jpg"), &info);
    EXPECT_EQ(file->GetSize(), 1500);
    EXPECT_GT(file->GetModified(), 0);
    EXPECT_EQ(file->GetAttributes() & faDirectory, 0u);
    EXPECT_EQ(file->GetTypeName(), "file type");
    EXPECT_EQ(file->GetIconIndex(), 3);
    EXPECT_EQ(file->GetOpenIconIndex(), 2);
    const int calls = info.Calls;
    file->GetTypeName();
    file->GetIconIndex();
    EXPECT_EQ(info.Calls, calls);  // cached
    EXPECT_TRUE(file->GetAbilities() & iaCanRename);
    file->SetPlainTypeNames(true);
    EXPECT_EQ(file->GetTypeName(), ".jpg");

    auto hidden = TShellFolder::CreateFromPath(nullptr, folder.File(".hidden"));
    EXPECT_TRUE(hidden->GetDisplayFlags() & dfHidden);
    EXPECT_TRUE(hidden->GetAttributes() & faHidden);

    auto dir = TShellFolder::CreateFromPath(nullptr, folder.File("book"));
    dir->SetPlainTypeNames(true);
    EXPECT_EQ(dir->GetTypeName(), "フォルダ");
    EXPECT_TRUE(dir->GetAttributes() & faDirectory);
    EXPECT_TRUE(dir->HasSubfolders() == false);

    auto link = TShellFolder::CreateFromPath(nullptr, folder.File("link"));
    EXPECT_TRUE(link->GetDisplayFlags() & dfLink);
    EXPECT_TRUE(link->IsDirectory());
    EXPECT_EQ(link->GetTargetPath(), RealPath(folder.File("book")));

    info.OpenIcons = false;
    auto noOpen = TShellFolder::CreateFromPath(nullptr, folder.File("book"), &info);
    EXPECT_EQ(noOpen->GetOpenIconIndex(), noOpen->GetIconIndex());
    noOpen->IconByType = true;
    noOpen->SetPath(noOpen->GetPath());
    EXPECT_EQ(noOpen->GetIconIndex(), 7);
    EXPECT_EQ(noOpen->GetOpenIconIndex(), -1);
}

TEST(ShellFolder, CataloguedDataNeedsNoDiskAndMasksReadOnly)
{
    auto node = TShellFolder::CreateFromPath(nullptr, "/media/disc/absent.jpg");
    node->SetFileData(4096, 45000.5, faReadOnly | faHidden);
    EXPECT_FALSE(node->NoFileData());
    EXPECT_EQ(node->GetSize(), 4096);
    EXPECT_EQ(node->GetModified(), 45000.5);
    EXPECT_EQ(node->GetAttributes(), faHidden);
    EXPECT_TRUE(node->Catalogued());
}

TEST(ShellFolder, DetailTextsNeedLoadingFirst)
{
    TTempFolder folder;
    folder.Write("a.txt", std::string(2049, 'x'));
    auto node = TShellFolder::CreateFromPath(nullptr, folder.File("a.txt"));
    try {
        node->GetDetailText(1);
        FAIL() << "no exception";
    } catch (const EMirevaError& e) {
        EXPECT_EQ(std::string(e.what()), "a.txt: LoadColumnDetails への呼び出しがありません");
    }
    node->SetPlainTypeNames(true);
    node->LoadColumnDetails(3);
    EXPECT_EQ(node->GetDetailText(1), "3 KB");
    EXPECT_EQ(node->GetDetailText(2), ".txt");
    EXPECT_FALSE(node->GetDetailText(3).empty());
    EXPECT_EQ(node->GetDetailText(9), "");
}

struct TDetailCase {
    const char* Name;
    int Column;
    std::vector<std::string> Expected;  // columns 1.. after setting "new" into three loaded ones
};

class DetailText : public ::testing::TestWithParam<TDetailCase> {};

TEST_P(DetailText, LandsInItsColumn)
{
    auto node = TShellFolder::CreateFromPath(nullptr, "/nowhere/x.jpg");
    node->LoadColumnDetails(3);
    node->SetDetailText(1, "a");
    node->SetDetailText(2, "b");
    node->SetDetailText(3, "c");
    node->SetDetailText(GetParam().Column, "new");
    std::vector<std::string> texts;
    for (int column = 1; column <= static_cast<int>(GetParam().Expected.size()) + 1; ++column)
        texts.push_back(node->GetDetailText(column));
    std::vector<std::string> expected = GetParam().Expected;
    expected.push_back("");  // nothing beyond
    EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetailText,
    ::testing::Values(TDetailCase{"ReplacesFirst", 1, {"new", "b", "c"}},
                      TDetailCase{"ReplacesLast", 3, {"a", "b", "new"}},
                      TDetailCase{"AppendsNext", 4, {"a", "b", "c", "new"}},
                      TDetailCase{"PadsUpToAFarColumn", 6, {"a", "b", "c", "", "", "new"}},
                      TDetailCase{"IgnoresColumnZero", 0, {"a", "b", "c"}},
                      TDetailCase{"IgnoresNegative", -5, {"a", "b", "c"}},
                      TDetailCase{"IgnoresBeyondTheLimit", TShellFolder::MaxDetailColumns + 1, {"a", "b", "c"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShellFolder, RenameNeverReplacesAnExistingFile)
{
    TTempFolder folder;
    folder.Write("a.jpg", "A");
    folder.Write("b.jpg", "B");
    auto node = TShellFolder::CreateFromPath(nullptr, folder.File("a.jpg"));
    try {
        node->Rename("b.jpg");
        FAIL() << "replaced b.jpg";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "b.jpg への名称変更に失敗しました  ");
    }
    EXPECT_EQ(folder.Read("b.jpg"), "B");
    EXPECT_EQ(folder.Read("a.jpg"), "A");
    EXPECT_THROW(node->Rename("../escape.jpg"), EFileError);
    EXPECT_THROW(node->Rename(""), EFileError);

    EXPECT_TRUE(node->Rename("c.jpg"));
    EXPECT_EQ(node->GetPath(), folder.File("c.jpg"));
    EXPECT_EQ(node->GetName(), "c.jpg");
    EXPECT_EQ(folder.Read("c.jpg"), "A");
    EXPECT_FALSE(FileExists(folder.File("a.jpg")));

    // Without the ability nothing happens.
    auto missing = TShellFolder::CreateFromPath(nullptr, folder.File("none.jpg"));
    EXPECT_FALSE(missing->Rename("x.jpg"));
}

TEST(ShellFolder, ListsChildrenWithoutHiddenOnes)
{
    TTempFolder folder;
    folder.Write("sub/x", "");
    folder.Write("f.jpg", "");
    folder.Write(".dot", "");
    auto node = TShellFolder::CreateFromPath(nullptr, Plain(folder.Path()));
    EXPECT_EQ(ListChildren(*node, false).size(), 2u);
    const auto all = ListChildren(*node, true);
    ASSERT_EQ(all.size(), 3u);
    for (const auto& child : all) {
        EXPECT_EQ(child->Parent(), node.get());
        EXPECT_EQ(child->IsDirectory(), child->GetName() == "sub");
    }
    EXPECT_TRUE(node->HasSubfolders());
}

TEST(Mounts, ParsesMountInfoAndPicksUserMounts)
{
    const std::string text =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "40 22 8:17 / /media/u/My\\040Disc rw shared:5 - vfat /dev/sdb1 rw\n"
        "41 22 0:40 / /mnt/nas rw - nfs4 server:/export rw\n"
        "42 22 0:41 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "43 22 11:0 / /media/u/CD rw - iso9660 /dev/sr0 ro\n"
        "broken line\n";
    const std::vector<TMountPoint> mounts = ParseMountInfo(text);
    ASSERT_EQ(mounts.size(), 5u);
    EXPECT_EQ(mounts[1].Path, "/media/u/My Disc");
    EXPECT_EQ(mounts[1].FsType, "vfat");
    EXPECT_EQ(mounts[2].Device, "server:/export");
    EXPECT_EQ(DriveTypeOfMount(mounts[0], false), TDriveType::dtFixed);
    EXPECT_EQ(DriveTypeOfMount(mounts[1], true), TDriveType::dtRemovable);
    EXPECT_EQ(DriveTypeOfMount(mounts[2], false), TDriveType::dtNetwork);
    EXPECT_EQ(DriveTypeOfMount(mounts[3], false), TDriveType::dtRamDisk);
    EXPECT_EQ(DriveTypeOfMount(mounts[4], true), TDriveType::dtCdRom);
    EXPECT_EQ(RootItemPaths("/home/u/", mounts),
              (std::vector<std::string>{"/home/u", "/", "/media/u/My Disc", "/mnt/nas", "/media/u/CD"}));
}

}  // namespace
