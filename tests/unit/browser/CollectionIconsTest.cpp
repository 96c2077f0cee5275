#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

#include "browser/CollectionIcons.h"
#include "loading/ImgLoader.h"
#include "support/TempFolder.h"

namespace {

const std::string Program = "/opt/mireva/";

// The files of a row, by name below the program folder, and their heights.
using TFiles = std::map<std::string, int>;

TStripReader Reader(const TFiles& files)
{
    return [files](const std::string& path) -> std::optional<TBitmap> {
        const auto it = files.find(path.substr(Program.size()));
        if (it == files.end())
            return std::nullopt;
        return TBitmap(it->second * 3, it->second, 24, true);
    };
}

std::string Chosen(const TChosenStrip& strip)
{
    return strip.File.empty() ? "" : strip.File.substr(Program.size());
}

struct TIconRow {
    const char* Name;
    TIconCollection Kind;
    TFiles Files;
    const char* Normal;
    const char* Alt;
    const char* Large;
    const char* LargeAlt;
};

class CollectionIconsTest : public testing::TestWithParam<TIconRow> {};

TEST_P(CollectionIconsTest, ChosenFiles)
{
    const TIconRow& row = GetParam();
    const TCollectionStrips small = ChooseCollectionStrips(Program, row.Kind, Reader(row.Files));
    EXPECT_EQ(Chosen(small.Normal), row.Normal);
    EXPECT_EQ(Chosen(small.Alt), row.Alt);
    const TLargeStrips large = ChooseLargeStrips(Program, row.Kind, small.FromDollar, Reader(row.Files));
    EXPECT_EQ(Chosen(large.Normal), row.Large);
    EXPECT_EQ(Chosen(large.Alt), row.LargeAlt);
}

const TIconRow IconRows[] = {
    {"BuiltInOnly", TIconCollection::icShelf, {}, "", "", "", ""},
    {"UserStrips",
     TIconCollection::icShelf,
     {{"Icon/Shelf.BMP", 16}, {"Icon/$Shelf.BMP", 16}, {"Icon/Shelf_s.BMP", 16}, {"Icon/Shelf_l.bmp", 32},
      {"Icon/$Shelf_l.bmp", 32}},
     "Icon/Shelf.BMP", "Icon/Shelf_s.BMP", "Icon/Shelf_l.bmp", ""},
    {"OnlyTheDollarForm",
     TIconCollection::icShelf,
     {{"Icon/$Shelf.BMP", 16}, {"Icon/Shelf_l.bmp", 32}, {"Icon/$Shelf_l.bmp", 32}},
     "Icon/$Shelf.BMP", "", "Icon/$Shelf_l.bmp", ""},
    {"WrongHeightKeepsTheBuiltIn",
     TIconCollection::icShelf,
     {{"Icon/Shelf.BMP", 24}, {"Icon/$Shelf.BMP", 16}, {"Icon/Shelf_l.bmp", 16}, {"Icon/$Shelf_l.bmp", 32}},
     "", "", "", ""},
    {"LowerCaseNames",
     TIconCollection::icMedia,
     {{"icon/media.bmp", 16}, {"icon/$media_e.bmp", 16}, {"icon/media_l.bmp", 32}, {"icon/media_le.bmp", 32}},
     "icon/media.bmp", "icon/$media_e.bmp", "icon/media_l.bmp", "icon/media_le.bmp"},
    {"CategoriesHaveNoAlternativeAndNoLargeStrips",
     TIconCollection::icCategory,
     {{"Icon/Category.BMP", 16}, {"Icon/Category_s.BMP", 16}, {"Icon/Category_l.bmp", 32}},
     "Icon/Category.BMP", "", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, CollectionIconsTest, testing::ValuesIn(IconRows),
                         [](const testing::TestParamInfo<TIconRow>& info) { return info.param.Name; });

TEST(CollectionIcons, StripFilesAreReadOnlyWhenTheyAreBitmaps)
{
    TTempFolder folder;
    TBitmap strip(48, 16, 24, true);
    const std::vector<uint8_t> bmp = EncodeBmpFile(strip);
    folder.Write("good.bmp", std::string(bmp.begin(), bmp.end()));
    folder.Write("cut.bmp", std::string(bmp.begin(), bmp.begin() + 60));
    folder.Write("folder.bmp/x", "");
    ASSERT_EQ(mkfifo(folder.File("pipe.bmp").c_str(), 0600), 0);

    const std::optional<TBitmap> good = ReadStripFile(folder.File("good.bmp"));
    ASSERT_TRUE(good.has_value());
    EXPECT_EQ(good->Width(), 48);
    EXPECT_EQ(good->Height(), 16);
    // A pipe would block the window forever; it is passed over unopened.
    for (const char* name : {"cut.bmp", "folder.bmp", "pipe.bmp", "missing.bmp"})
        EXPECT_FALSE(ReadStripFile(folder.File(name)).has_value()) << name;
}

}  // namespace
