#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "collections/ShellFolder.h"
#include "collections/ShellInfo.h"
#include "common/Errors.h"
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
    node->SetDetailText(2, "text");
    EXPECT_EQ(node->GetDetailText(2), "text");
}

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
