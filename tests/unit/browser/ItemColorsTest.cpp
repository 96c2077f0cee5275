#include <gtest/gtest.h>

#include "browser/ItemColors.h"
#include "common/Text.h"

namespace {

constexpr TColor ListText = clWindowText;
constexpr TColor Opened = 0x000000FF, System = 0x00000001, Hidden = 0x00000002, ReadOnly = 0x00000003,
                 FolderColor = 0x00000004, Archive = 0x00000005, Image = 0x00000006, JpgExt = 0x00000007;

// The attribute colours in use, by the ATTRCOLOR numbering (bit n: Use_n).
TDerivedOptions Colors(unsigned use)
{
    TOptions options;
    const TColor colors[ColorAttributeCount] = {Opened, Image, Archive, FolderColor, ReadOnly, Hidden, System};
    for (int n = 0; n < ColorAttributeCount; ++n) {
        options.AttrColor.Use[n] = (use >> n & 1) != 0;
        options.AttrColor.Color[n] = colors[n];
    }
    options.ExtColors = {TExtColorEntry{".jpg;.txt", JpgExt, true}};
    BuildDerivedOptions(options);
    return options.Derived;
}

constexpr unsigned AllInUse = 0x7F;
constexpr unsigned SystemAndImage = 1u << 6 | 1u << 1;
constexpr unsigned NoneInUse = 0;

const TItemClassifier Extensions{[](std::string_view ext) { return SameText(ext, ".jpg"); },
                                 [](std::string_view ext) { return SameText(ext, ".zip"); }};

struct TColorRow {
    const char* Name;
    TItemColorFacts Item;
    unsigned Use;
    TListKind Kind;
    TColor Text;
    bool ShownPage;
};

class ItemColorTest : public testing::TestWithParam<TColorRow> {};

TEST_P(ItemColorTest, FirstRuleThatApplies)
{
    const TColorRow& row = GetParam();
    const TItemColor color = ItemColor(row.Item, row.Kind, Colors(row.Use), Extensions, ListText);
    EXPECT_EQ(color.Text, row.Text);
    EXPECT_EQ(color.ShownPage, row.ShownPage);
}

TItemColorFacts Facts(const char* name, bool folder = false, bool member = false)
{
    TItemColorFacts facts;
    facts.Name = name;
    facts.Folder = folder;
    facts.ArchiveMember = member;
    return facts;
}

TItemColorFacts With(TItemColorFacts facts, bool readOnly, bool hidden, bool system, bool shown = false)
{
    facts.ReadOnly = readOnly;
    facts.Hidden = hidden;
    facts.System = system;
    facts.ShownPage = shown;
    return facts;
}

const TColorRow ColorRows[] = {
    {"SystemPictureTakesTheSystemColour", With(Facts("a.jpg"), false, false, true), SystemAndImage,
     TListKind::lkFolder, System, false},
    {"ExtensionTableWhenNoAttributeIsInUse", Facts("a.JPG"), NoneInUse, TListKind::lkFolder, JpgExt, false},
    {"SecondExtensionOfAnEntry", Facts("notes.txt"), AllInUse, TListKind::lkFolder, JpgExt, false},
    {"ListTextOtherwise", Facts("notes.doc"), AllInUse, TListKind::lkFolder, ListText, false},
    {"ShownPageFirst", With(Facts("a.jpg"), true, true, true, true), AllInUse, TListKind::lkSearch, Opened, true},
    {"ShownPageWithoutUse0", With(Facts("a.jpg"), false, false, false, true), SystemAndImage, TListKind::lkFolder,
     Image, false},
    {"HiddenBeforeReadOnly", With(Facts("a.zip"), true, true, false), AllInUse, TListKind::lkFolder, Hidden, false},
    {"ArchiveBeforeImage", Facts("a.zip"), AllInUse, TListKind::lkFolder, Archive, false},
    {"BitmapsAreAlwaysPictures", Facts("a.bmp"), AllInUse, TListKind::lkFolder, Image, false},
    {"MembersHaveNoAttributes", With(Facts("d/a.jpg", false, true), true, true, true), AllInUse,
     TListKind::lkFolder, Image, false},
    {"ArchiveFolderRecord", Facts("d/", true, true), AllInUse, TListKind::lkFolder, FolderColor, false},
    {"AFolderNamedLikeAPictureIsNone", Facts("photos.jpg", true), SystemAndImage, TListKind::lkFolder, ListText,
     false},
    {"ShelvesListHasNoColours", With(Facts("a.jpg"), false, false, true, true), AllInUse, TListKind::lkShelves,
     ListText, false},
    {"MediaListHasNoColours", Facts("a.jpg"), AllInUse, TListKind::lkMediaList, ListText, false},
    {"CategoriesHaveNoColours", Facts("a.jpg"), AllInUse, TListKind::lkCategories, ListText, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, ItemColorTest, testing::ValuesIn(ColorRows),
                         [](const testing::TestParamInfo<TColorRow>& info) { return info.param.Name; });

}  // namespace
