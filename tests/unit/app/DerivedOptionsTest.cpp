#include <gtest/gtest.h>

#include "app/Init.h"
#include "common/IniFile.h"

namespace {

struct THighlightCase {
    const char* Name;
    TColor Color;
    TColor Expected;
};

void PrintTo(const THighlightCase& c, std::ostream* os) { *os << c.Name; }


class HighlightTextTest : public ::testing::TestWithParam<THighlightCase> {};

TEST_P(HighlightTextTest, LiftsTheLuminanceTowardsWhite)
{
    EXPECT_EQ(HighlightTextColor(GetParam().Color), GetParam().Expected);
}

// y = (77 R + 150 G + 29 B) div 256, d = round(y / 255 * 64 + 191) - y.
INSTANTIATE_TEST_SUITE_P(
    Colors, HighlightTextTest,
    ::testing::Values(THighlightCase{"Red", MakeColor(255, 0, 0), MakeColor(255, 134, 134)},      // y 76, d 134
                      THighlightCase{"Green", MakeColor(0, 255, 0), MakeColor(79, 255, 79)},       // y 149, d 79
                      THighlightCase{"Blue", MakeColor(0, 0, 255), MakeColor(170, 170, 255)},      // y 28, d 170
                      THighlightCase{"Black", MakeColor(0, 0, 0), MakeColor(191, 191, 191)},       // y 0, d 191
                      THighlightCase{"White", MakeColor(255, 255, 255), MakeColor(255, 255, 255)}, // y 255, d 0
                      THighlightCase{"Gray", MakeColor(128, 128, 128), MakeColor(223, 223, 223)},  // y 128, d 95
                      // y 60: 60 * 64 / 255 = 15.06, so d = 206 - 60 = 146.
                      THighlightCase{"Brown", MakeColor(100, 50, 10), MakeColor(246, 196, 156)}),
    [](const ::testing::TestParamInfo<THighlightCase>& info) { return info.param.Name; });

TOptions FromText(std::string_view text, const TSystemColorResolver& resolver = {})
{
    TIniFile ini;
    ini.LoadFromText(text);
    TOptions options;
    TOptionLinks links;
    links.SystemColors = resolver;
    LoadOptions(ini, options, links);
    return options;
}

}  // namespace

TEST(DerivedOptions, HighlightOfASystemColourUsesTheResolvedColour)
{
    // Window text as the opened image's colour: on a dark theme it is white,
    // on a light one black; the raw value 0xFF000008 is neither.
    const TOptions dark =
        FromText("[ATTRCOLOR]\nColor_0=$FF000008\n", [](TColor c) { return c == clWindowText ? clWhite : c; });
    EXPECT_EQ(dark.Derived.HighlightText, clWhite);
    const TOptions light = FromText("[ATTRCOLOR]\nColor_0=$FF000008\n");
    EXPECT_EQ(light.Derived.HighlightText, MakeColor(191, 191, 191));
}

TEST(DerivedOptions, AttributeColoursInTheirOrderOfPrecedence)
{
    const TOptions options = FromText(
        "[ATTRCOLOR]\nUse_0=1\nUse_1=1\nUse_2=0\nUse_3=-1\nUse_5=1\nUse_6=1\nColor_6=$00000006\nColor_1=$00000001\n");
    std::vector<TColorAttribute> order;
    for (const TAttrColorItem& item : options.Derived.AttrColors)
        order.push_back(item.Attribute);
    EXPECT_EQ(order, (std::vector<TColorAttribute>{TColorAttribute::caOpenedImage, TColorAttribute::caSystem,
                                                   TColorAttribute::caHidden, TColorAttribute::caFolder,
                                                   TColorAttribute::caImage}));
    EXPECT_EQ(options.Derived.AttrColors[1].Color, 6u);
    EXPECT_EQ(options.Derived.AttrColors.back().Color, 1u);
}

TEST(DerivedOptions, NoAttributeColourInUseGivesAnEmptyList)
{
    EXPECT_TRUE(FromText("[ATTRCOLOR]\nUse_0=0\n").Derived.AttrColors.empty());
}

TEST(DerivedOptions, ExtensionColourTable)
{
    const TOptions options = FromText(
        "[EXTCOLOR]\n.jpg;.jpeg=$00000001\n.png=$00000002\n.gif=$00000003\nbmp;*.tif; ;=$00000004\n"
        ".JPG=$00000005\n.webp=junk\n"
        "[EXTCOLOR_USE]\n.png=0\n.gif=-1\n.old=1\n[LIST]\nFileText=$00000009\n");
    std::vector<std::string> extensions;
    for (const TExtColorItem& item : options.Derived.ExtColors)
        extensions.push_back(item.Extension);
    EXPECT_EQ(extensions, (std::vector<std::string>{".BMP", ".GIF", ".JPEG", ".JPG", ".TIF", ".WEBP"}));

    const TDerivedOptions& table = options.Derived;
    ASSERT_NE(table.FindExtColor(".jpg"), nullptr);
    EXPECT_EQ(*table.FindExtColor(".jpg"), 1u);  // the first entry naming it
    EXPECT_EQ(*table.FindExtColor("JPEG"), 1u);
    EXPECT_EQ(*table.FindExtColor(".Bmp"), 4u);
    EXPECT_EQ(*table.FindExtColor(".tif"), 4u);
    EXPECT_EQ(*table.FindExtColor(".webp"), 9u);  // unreadable: the list text colour
    EXPECT_EQ(table.FindExtColor(".png"), nullptr);  // not in use
    EXPECT_EQ(table.FindExtColor(".old"), nullptr);  // a flag without an entry
    EXPECT_EQ(table.FindExtColor(""), nullptr);
    EXPECT_EQ(table.FindExtColor(".jp"), nullptr);
}

TEST(DerivedOptions, DefaultSystemColoursAreOpaqueColours)
{
    for (TColor c : {clWindow, clWindowText, clHighlight, clHighlightText, TColor(0xFF00000F), TColor(0xFF000063)})
        EXPECT_FALSE(IsSystemColor(DefaultSystemColor(c))) << std::hex << c;
    EXPECT_EQ(DefaultSystemColor(clWindow), clWhite);
    EXPECT_EQ(DefaultSystemColor(MakeColor(1, 2, 3)), MakeColor(1, 2, 3));
}
