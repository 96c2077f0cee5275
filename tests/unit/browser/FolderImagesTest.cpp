#include <gtest/gtest.h>

#include <unistd.h>

#include "browser/FolderImages.h"
#include "base/Errors.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

struct TSortCase {
    const char* Name;
    std::vector<std::string> In;
    std::vector<std::string> Out;
};

class SortImageNamesTest : public ::testing::TestWithParam<TSortCase> {};

TEST_P(SortImageNamesTest, Orders)
{
    std::vector<std::string> names = GetParam().In;
    SortImageNames(names);
    EXPECT_EQ(names, GetParam().Out);
}

bool IsPicture(std::string_view ext)
{
    return SameText(ext, ".jpg") || SameText(ext, ".bmp");
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Rows, SortImageNamesTest,
    ::testing::Values(TSortCase{"WithoutCase", {"b.jpg", "A.jpg", "c.jpg"}, {"A.jpg", "b.jpg", "c.jpg"}},
                      TSortCase{"CaseOnlyDifferenceIsStable", {"a.jpg", "A.jpg"}, {"A.jpg", "a.jpg"}},
                      TSortCase{"ZeroPaddedNumbers", {"10.jpg", "02.jpg", "01.jpg"}, {"01.jpg", "02.jpg", "10.jpg"}},
                      TSortCase{"NumbersByValue", {"p10.jpg", "p9.jpg", "p1.jpg"}, {"p1.jpg", "p9.jpg", "p10.jpg"}},
                      TSortCase{"SpreadNameBetweenPages", {"08.bmp", "06-07.bmp", "05.bmp"},
                                {"05.bmp", "06-07.bmp", "08.bmp"}},
                      TSortCase{"MultibyteWithoutCase", {"Ärger.jpg", "äpfel.jpg"}, {"äpfel.jpg", "Ärger.jpg"}},
                      TSortCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ListFolderImages, OnlyVisiblePictureFilesInOrder)
{
    TTempFolder folder;
    for (const char* name : {"b.JPG", "a.bmp", "notes.txt", ".hidden.jpg", "._a.jpg", "noext"})
        folder.Write(name, "x");
    ForceDirectories(folder.File("dir.jpg"));
    ASSERT_EQ(::symlink(folder.File("a.bmp").c_str(), folder.File("link.jpg").c_str()), 0);
    ASSERT_EQ(::symlink(folder.File("gone").c_str(), folder.File("dangling.jpg").c_str()), 0);
    EXPECT_EQ(ListFolderImages(folder.Path(), IsPicture), (std::vector<std::string>{"a.bmp", "b.JPG", "link.jpg"}));
}

TEST(ListFolderImages, MissingFolderRaises)
{
    TTempFolder folder;
    EXPECT_THROW(ListFolderImages(folder.File("gone/"), IsPicture), EMirevaError);
}
