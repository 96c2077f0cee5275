#include <gtest/gtest.h>

#include "browser/ItemColors.h"
#include "common/Text.h"

namespace {

// Colour n of the ATTRCOLOR numbering is n + 1; ".jpg" and ".txt" are 9.
constexpr TColor ListText = clWindowText, ExtColor = 9;
constexpr TColor Opened = 1, Image = 2, Archive = 3, FolderColor = 4, Hidden = 6, System = 7;

// use: bit n stands for Use_n.
TDerivedOptions Colors(unsigned use)
{
    TOptions options;
    for (int n = 0; n < ColorAttributeCount; ++n) {
        options.AttrColor.Use[n] = (use >> n & 1) != 0;
        options.AttrColor.Color[n] = static_cast<TColor>(n + 1);
    }
    options.ExtColors = {TExtColorEntry{".jpg;.txt", ExtColor, true}};
    BuildDerivedOptions(options);
    return options.Derived;
}

constexpr unsigned All = 0x7F, SystemAndImage = 1u << 6 | 1u << 1, None = 0;

const TItemClassifier Extensions{[](std::string_view ext) { return SameText(ext, ".jpg"); },
                                 [](std::string_view ext) { return SameText(ext, ".zip"); }};

struct TColorRow {
    const char* Name;
    TItemColorFacts Item;  // name, folder, member, read-only, hidden, system, shown page
    unsigned Use;
    TListKind Kind;
    TColor Text;
};

class ItemColorTest : public testing::TestWithParam<TColorRow> {};

TEST_P(ItemColorTest, FirstRuleThatApplies)
{
    const TColorRow& row = GetParam();
    const TItemColor color = ItemColor(row.Item, row.Kind, Colors(row.Use), Extensions, ListText);
    EXPECT_EQ(color.Text, row.Text);
    EXPECT_EQ(color.ShownPage, row.Text == Opened);
}

constexpr auto Folder = TListKind::lkFolder;

const TColorRow ColorRows[] = {
    {"SystemPicture", {"a.jpg", false, false, false, false, true, false}, SystemAndImage, Folder, System},
    {"ExtensionTable", {"a.JPG", false, false, false, false, false, false}, None, Folder, ExtColor},
    {"ListTextOtherwise", {"n.doc", false, false, false, false, false, false}, All, Folder, ListText},
    {"ShownPageFirst", {"a.jpg", false, false, true, true, true, true}, All, TListKind::lkSearch, Opened},
    {"HiddenBeforeReadOnly", {"a.zip", false, false, true, true, false, false}, All, Folder, Hidden},
    {"ArchiveBeforeImage", {"a.zip", false, false, false, false, false, false}, All, Folder, Archive},
    {"BitmapsAreAlwaysPictures", {"a.bmp", false, false, false, false, false, false}, All, Folder, Image},
    {"MembersHaveNoAttributes", {"d/a.jpg", false, true, true, true, true, false}, All, Folder, Image},
    {"FolderNamedLikeAPicture", {"p.jpg", true, false, false, false, false, false}, SystemAndImage, Folder, ListText},
    {"ShelvesHaveNoColours", {"a.jpg", false, false, false, false, true, true}, All, TListKind::lkShelves, ListText},
};

INSTANTIATE_TEST_SUITE_P(Rows, ItemColorTest, testing::ValuesIn(ColorRows),
                         [](const testing::TestParamInfo<TColorRow>& info) { return info.param.Name; });

}  // namespace
