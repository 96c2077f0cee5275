#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "fileops/Trash.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// A home trash in the temporary folder, and a fake second volume "vol/"
// beside it: everything below it counts as lying on another device.
struct TrashFixture : ::testing::Test {
    TTempFolder temp;
    std::string volume = temp.File("vol/");
    TTrash trash{MakeSetup()};

    TTrashSetup MakeSetup()
    {
        ForceDirectories(volume);
        TTrashSetup setup;
        setup.HomeTrash = temp.File("home/Trash/");
        setup.Uid = static_cast<uint32_t>(::getuid());
        setup.TopDirOf = [top = volume](const std::string& path) {
            return path.compare(0, top.size(), top) == 0 ? top : std::string();
        };
        return setup;
    }
    std::string Uid() const { return std::to_string(::getuid()); }
};

TEST_F(TrashFixture, HomeItemGetsInfoFileWithEncodedAbsolutePathAndLocalDate)
{
    const std::string path = temp.Write("a b/ü#1.jpg", "x");
    const TTrashedItem item = trash.Trash(path);
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(item.TrashedPath, temp.File("home/Trash/files/ü#1.jpg"));
    EXPECT_EQ(temp.Read("home/Trash/files/ü#1.jpg"), "x");
    const std::string info = temp.Read("home/Trash/info/ü#1.jpg.trashinfo");
    const std::regex layout("\\[Trash Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(info, match, layout)) << info;
    EXPECT_EQ(match[1].str(), PercentEncodePath(path));
    EXPECT_NE(match[1].str().find("a%20b/%C3%BC%231.jpg"), std::string::npos);
}

TEST_F(TrashFixture, SameNameTakesTheNextFreeNameAndSkipsStrayFiles)
{
    const std::string first = temp.Write("one/a.jpg", "1");
    const std::string second = temp.Write("two/a.jpg", "2");
    const std::string third = temp.Write("three/a.jpg", "3");
    trash.Trash(first);
    // Left behind by some other program: a file in files/ without info.
    temp.Write("home/Trash/files/a.2.jpg", "stray");
    EXPECT_EQ(ExtractFileName(trash.Trash(second).TrashedPath), "a.3.jpg");
    EXPECT_EQ(temp.Read("home/Trash/files/a.2.jpg"), "stray");
    EXPECT_FALSE(PathExists(temp.File("home/Trash/info/a.2.jpg.trashinfo")));
    const std::vector<TTrashedItem> items = trash.List({});
    ASSERT_EQ(items.size(), 2u);
    trash.Trash(third);
    ASSERT_EQ(trash.List({}).size(), 3u);
}

struct VolumeCase {
    const char* Name;
    bool SharedTrash;  // "$topdir/.Trash" exists
    bool Sticky;
    bool Link;         // ".Trash" is a link to a sticky folder
    const char* Expected;  // relative to the top dir; "%u" stands for the uid
};

struct VolumeTrash : TrashFixture, ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeTrash, ItemStaysOnItsVolumeWithARelativePath)
{
    const VolumeCase& c = GetParam();
    if (c.SharedTrash) {
        const std::string shared = c.Link ? temp.File("elsewhere") : volume + ".Trash";
        ForceDirectories(shared);
        ::chmod(shared.c_str(), c.Sticky ? 01777 : 0777);
        if (c.Link) {
            ASSERT_EQ(::symlink(shared.c_str(), (volume + ".Trash").c_str()), 0);
        }
    }
    const std::string path = temp.Write("vol/books/p 1.jpg", "x");
    const TTrashedItem item = trash.Trash(path);
    std::string expected = c.Expected;
    expected.replace(expected.find("%u"), 2, Uid());
    EXPECT_EQ(item.TrashedPath, volume + expected + "files/p 1.jpg");
    std::string field, date;
    ASSERT_TRUE(ParseTrashInfo(temp.Read(item.InfoPath.substr(temp.Path().size())), field, date));
    EXPECT_EQ(field, "books/p 1.jpg");
    const std::vector<TTrashedItem> listed = trash.List({volume});
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].OriginalPath, path);
    trash.Restore(listed[0]);
    EXPECT_EQ(temp.Read("vol/books/p 1.jpg"), "x");
    EXPECT_TRUE(trash.List({volume}).empty());
}

INSTANTIATE_TEST_SUITE_P(Volumes, VolumeTrash,
                         ::testing::Values(VolumeCase{"NoShared", false, false, false, ".Trash-%u/"},
                                           VolumeCase{"SharedSticky", true, true, false, ".Trash/%u/"},
                                           VolumeCase{"SharedNotSticky", true, false, false, ".Trash-%u/"},
                                           VolumeCase{"SharedIsLink", true, true, true, ".Trash-%u/"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TrashFixture, RestoreRefusesToReplaceAndRecreatesMissingParents)
{
    const std::string path = temp.Write("deep/er/a.txt", "old");
    const TTrashedItem item = trash.Trash(path);
    temp.Write("deep/er/a.txt", "new");
    EXPECT_THROW(trash.Restore(item), EFileError);
    EXPECT_EQ(temp.Read("deep/er/a.txt"), "new");
    EXPECT_TRUE(PathExists(item.TrashedPath));
    EXPECT_TRUE(PathExists(item.InfoPath));
    ASSERT_TRUE(RemoveTree(temp.File("deep")));
    trash.Restore(item);
    EXPECT_EQ(temp.Read("deep/er/a.txt"), "old");
    EXPECT_FALSE(PathExists(item.InfoPath));
}

TEST_F(TrashFixture, FolderAndLinkGoWholeAndTheLinkTargetStays)
{
    const std::string target = temp.Write("target.txt", "t");
    temp.Write("dir/inner.txt", "i");
    const std::string link = temp.File("link");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    trash.Trash(temp.File("dir/"));
    trash.Trash(link);
    EXPECT_EQ(temp.Read("home/Trash/files/dir/inner.txt"), "i");
    EXPECT_TRUE(QueryFile(temp.File("home/Trash/files/link"), false).IsLink);
    EXPECT_EQ(temp.Read("target.txt"), "t");
    EXPECT_THROW(trash.Trash(temp.File("home")), EFileError);  // holds the trash
    EXPECT_THROW(trash.Trash(temp.File("missing")), EFileError);
}

TEST_F(TrashFixture, ListLeavesOutDamagedInfoFiles)
{
    trash.Trash(temp.Write("a.txt", "a"));
    temp.Write("home/Trash/info/bad.trashinfo", "Path=/x\n");
    temp.Write("home/Trash/info/up.trashinfo", "[Trash Info]\nPath=/a/../../etc/passwd\n");
    ASSERT_EQ(trash.List({}).size(), 1u);
    EXPECT_EQ(trash.List({})[0].OriginalPath, temp.File("a.txt"));
    EXPECT_TRUE(PathExists(temp.File("home/Trash/info/bad.trashinfo")));
}

TEST(TrashInfo, ParseRejectsWhatIsNoInfoFile)
{
    const std::pair<const char*, bool> rows[] = {
        {"[Trash Info]\nPath=/a%20b\nDeletionDate=2024-01-02T03:04:05\n", true},
        {"# note\n[Trash Info]\r\nPath=rel/x\r\n", true},
        {"Path=/a\n", false},
        {"[Other]\nPath=/a\n", false},
        {"[Trash Info]\nDeletionDate=2024-01-02T03:04:05\n", false},
        {"[Trash Info]\nPath=/a/%2e%2e/b\n", false},
        {"[Trash Info]\nPath=/a%2\n", false},
        {"[Trash Info]\nPath=/a%00b\n", false},
    };
    for (const auto& [text, ok] : rows) {
        std::string path, date;
        EXPECT_EQ(ParseTrashInfo(text, path, date), ok) << text;
    }
}

}  // namespace
