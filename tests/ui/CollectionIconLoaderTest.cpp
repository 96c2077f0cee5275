// The icons the three collection lists get at start-up: the built-in strips
// unless the user's own are in the program folder, large frames beside the
// small ones, and a medium in a drive drawn with its alternative icon.

#include <gtest/gtest.h>

#include <array>
#include <map>

#include "browser/ui/BuiltInStrips.h"
#include "browser/ui/CollectionIconLoader.h"
#include "collections/CategoryFolder.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"

namespace {

const std::string Program = "/opt/mireva/";
constexpr int BuiltIn = BuiltInIconCount + 1;

// A user's strip file: frames and height.
struct TFile {
    int Frames;
    int Height;
};

struct TIconCase {
    const char* Name;
    TIconCollection Kind;
    std::map<std::string, TFile> Files;
    int Normal;      // frames of the normal strip
    int Alt;         // frames of the alternative strip
    bool Large;      // the root icon has a large frame too
};

class CollectionIconLoaderTest : public testing::TestWithParam<TIconCase> {};

std::unique_ptr<TCustomFolderList> ListOf(TIconCollection kind)
{
    switch (kind) {
    case TIconCollection::icShelf: return std::make_unique<TGroupList>();
    case TIconCollection::icMedia: return std::make_unique<TMediaList>();
    case TIconCollection::icCategory: break;
    }
    return std::make_unique<TCategoryList>();
}

TEST_P(CollectionIconLoaderTest, StripsAndSizes)
{
    const TIconCase& row = GetParam();
    const TStripReader read = [&](const std::string& path) -> std::optional<TBitmap> {
        const auto it = row.Files.find(path.substr(Program.size()));
        if (it == row.Files.end())
            return std::nullopt;
        return TBitmap(it->second.Frames * it->second.Height, it->second.Height, 24, true);
    };
    const std::unique_ptr<TCustomFolderList> list = ListOf(row.Kind);
    TQtShellInfo icons;
    LoadCollectionIcons(*list, row.Kind, Program, icons, read);

    EXPECT_EQ(static_cast<int>(list->Images().size()), row.Normal);
    EXPECT_EQ(static_cast<int>(list->AltImages().size()), row.Alt);
    ASSERT_GE(list->RootIcon(), 0);
    EXPECT_TRUE(icons.Icon(list->IconOf(0)).availableSizes().contains(QSize(16, 16)));
    EXPECT_EQ(icons.Icon(list->RootIcon()).availableSizes().contains(QSize(32, 32)), row.Large);
    // Past the last frame there is no icon.
    EXPECT_EQ(list->IconOf(row.Normal - 1), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CollectionIconLoaderTest,
    testing::Values(
        TIconCase{"BuiltInShelves", TIconCollection::icShelf, {}, BuiltIn, 0, true},
        // Only media draw a different alternative: the disc in a drive.
        TIconCase{"BuiltInMedia", TIconCollection::icMedia, {}, BuiltIn, BuiltIn, true},
        TIconCase{"BuiltInCategories", TIconCollection::icCategory, {}, BuiltIn, 0, true},
        // The user's strip without an alternative: his icons stay for a disc
        // in a drive, and no built-in large frame stands beside them.
        TIconCase{"OwnMediaStrip", TIconCollection::icMedia, {{"Icon/Media.BMP", {3, 16}}}, 3, 0, false},
        TIconCase{"OwnStripsAndLarge",
                  TIconCollection::icShelf,
                  {{"Icon/Shelf.BMP", {3, 16}}, {"Icon/Shelf_s.BMP", {2, 16}}, {"Icon/Shelf_l.bmp", {3, 32}}},
                  3, 2, true},
        // A strip of the wrong height is not taken: the built-in one stays.
        TIconCase{"WrongHeight", TIconCollection::icCategory, {{"Icon/Category.BMP", {3, 32}}}, BuiltIn, 0, true}),
    [](const testing::TestParamInfo<TIconCase>& info) { return std::string(info.param.Name); });

TEST(CollectionIconLoader, AMediumInADriveShowsItsAlternativeIcon)
{
    TMediaList media;
    TQtShellInfo icons;
    LoadCollectionIcons(media, TIconCollection::icMedia, Program, icons,
                        [](const std::string&) { return std::optional<TBitmap>(); });
    TMediaFolder& medium = *media.Medium(media.Add("Disc", 2, ""));
    EXPECT_EQ(media.FolderIcon(medium), media.IconOf(2));
    medium.SetLivePath("/media/disc/");
    EXPECT_EQ(media.FolderIcon(medium), media.AltIconOf(2));
    EXPECT_NE(media.AltIconOf(2), media.IconOf(2));
}

TEST(BuiltInStrips, TransparentWhereNothingIsDrawn)
{
    const TBitmap strip = BuiltInStrip(TIconCollection::icShelf, TIconSize::isLarge, false);
    ASSERT_EQ(strip.Height(), 32);
    ASSERT_EQ(strip.Width(), 32 * BuiltIn);
    // The corner of a folder frame is aqua, its front panel is not.
    const uint8_t* top = strip.ScanLine(0) + 32 * 3;
    EXPECT_EQ((std::array<uint8_t, 3>{top[0], top[1], top[2]}), (std::array<uint8_t, 3>{0xFF, 0xFF, 0x00}));
    const uint8_t* front = strip.ScanLine(20) + (32 + 4) * 3;
    EXPECT_NE((std::array<uint8_t, 3>{front[0], front[1], front[2]}), (std::array<uint8_t, 3>{0xFF, 0xFF, 0x00}));
}

}  // namespace
