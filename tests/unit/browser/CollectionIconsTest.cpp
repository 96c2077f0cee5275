#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>

#include "browser/CollectionIcons.h"
#include "loading/ImgLoader.h"
#include "support/TempFolder.h"

namespace {

const std::string Program = "/opt/mireva/";

// The files of a row below the program folder, and their heights.
using TFiles = std::map<std::string, int>;

struct TIconRow {
    const char* Name;
    TIconCollection Kind;
    TFiles Files;
    const char* Chosen;  // normal, alternative, large, large alternative; '|' between
};

class CollectionIconsTest : public testing::TestWithParam<TIconRow> {};

TEST_P(CollectionIconsTest, ChosenFiles)
{
    const TFiles files = GetParam().Files;
    const TStripReader read = [&](const std::string& path) -> std::optional<TBitmap> {
        const auto it = files.find(path.substr(Program.size()));
        return it == files.end() ? std::nullopt : std::optional<TBitmap>(TBitmap(it->second * 3, it->second, 24, true));
    };
    const auto name = [](const TChosenStrip& strip) { return strip.File.empty() ? "" : strip.File.substr(Program.size()); };
    const TCollectionStrips small = ChooseCollectionStrips(Program, GetParam().Kind, read);
    const TLargeStrips large = ChooseLargeStrips(Program, GetParam().Kind, small.FromDollar, read);
    EXPECT_EQ(name(small.Normal) + "|" + name(small.Alt) + "|" + name(large.Normal) + "|" + name(large.Alt),
              GetParam().Chosen);
}

const TIconRow IconRows[] = {
    {"BuiltInOnly", TIconCollection::icShelf, {}, "|||"},
    {"UserStrips", TIconCollection::icShelf,
     {{"Icon/Shelf.BMP", 16}, {"Icon/$Shelf.BMP", 16}, {"Icon/Shelf_s.BMP", 16}, {"Icon/Shelf_l.bmp", 32},
      {"Icon/$Shelf_l.bmp", 32}},
     "Icon/Shelf.BMP|Icon/Shelf_s.BMP|Icon/Shelf_l.bmp|"},
    {"OnlyTheDollarForm", TIconCollection::icShelf,
     {{"Icon/$Shelf.BMP", 16}, {"Icon/Shelf_l.bmp", 32}, {"Icon/$Shelf_l.bmp", 32}},
     "Icon/$Shelf.BMP||Icon/$Shelf_l.bmp|"},
    {"WrongHeightKeepsTheBuiltIn", TIconCollection::icShelf,
     {{"Icon/Shelf.BMP", 24}, {"Icon/$Shelf.BMP", 16}, {"Icon/Shelf_l.bmp", 16}, {"Icon/$Shelf_l.bmp", 32}}, "|||"},
    {"LowerCaseNames", TIconCollection::icMedia,
     {{"icon/media.bmp", 16}, {"icon/$media_e.bmp", 16}, {"icon/media_l.bmp", 32}, {"icon/media_le.bmp", 32}},
     "icon/media.bmp|icon/$media_e.bmp|icon/media_l.bmp|icon/media_le.bmp"},
    {"CategoriesHaveNoAlternativeAndNoLargeStrips", TIconCollection::icCategory,
     {{"Icon/Category.BMP", 16}, {"Icon/Category_s.BMP", 16}, {"Icon/Category_l.bmp", 32}}, "Icon/Category.BMP|||"},
};

INSTANTIATE_TEST_SUITE_P(Rows, CollectionIconsTest, testing::ValuesIn(IconRows),
                         [](const testing::TestParamInfo<TIconRow>& info) { return info.param.Name; });

TEST(CollectionIcons, OnlyRegularBitmapFilesAreRead)
{
    TTempFolder folder;
    const std::vector<uint8_t> bmp = EncodeBmpFile(TBitmap(48, 16, 24, true));
    folder.Write("good.bmp", std::string(bmp.begin(), bmp.end()));
    folder.Write("cut.bmp", std::string(bmp.begin(), bmp.begin() + 60));
    folder.Write("folder.bmp/x", "");
    ASSERT_EQ(mkfifo(folder.File("pipe.bmp").c_str(), 0600), 0);
    const std::optional<TBitmap> good = ReadStripFile(folder.File("good.bmp"));
    ASSERT_TRUE(good.has_value());
    EXPECT_EQ(good->Height(), 16);
    // Opening a pipe would block the window until someone writes to it.
    for (const char* name : {"cut.bmp", "folder.bmp", "pipe.bmp", "missing.bmp"})
        EXPECT_FALSE(ReadStripFile(folder.File(name)).has_value()) << name;
}

}  // namespace
