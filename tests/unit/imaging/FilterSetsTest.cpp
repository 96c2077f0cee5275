// The FILTER section: item texts both ways, defaults for out-of-range values,
// dropped items, and whole sets through a settings file.

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "imaging/FilterSets.h"

namespace {

TFilterItem Item(FilterKind kind, TFilterParameter parameter)
{
    return TFilterItem{kind, std::move(parameter)};
}

TToneCurveInfo Curve(std::vector<TToneCurvePoint> points, bool perChannel)
{
    TToneCurveInfo c;
    c.Points = std::move(points);
    c.PerChannel = perChannel;
    return c;
}

struct TFormatCase {
    const char* Name;
    TFilterItem Item;
    const char* Text;
};

class FormatTest : public testing::TestWithParam<TFormatCase> {};

TEST_P(FormatTest, WritesTheTextAndReadsItBack)
{
    EXPECT_EQ(FormatFilterItem(GetParam().Item), GetParam().Text);
    const std::optional<TFilterItem> back = ParseFilterItem(GetParam().Text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, GetParam().Item);
}

const TFormatCase FormatCases[] = {
    {"Grayscale", Item(FilterKind::Grayscale, int32_t{2}), "0,2"},
    {"Levels", Item(FilterKind::Levels, TLevelsParameter{10, 200, 5, 250, true}), "1,10,200,5,250,-1"},
    {"Gamma", Item(FilterKind::Gamma, TCorrectionParameter{180, false}), "2,180,0"},
    {"Contrast", Item(FilterKind::Contrast, TCorrectionParameter{0, true}), "3,0,-1"},
    {"Brightness", Item(FilterKind::Brightness, TCorrectionParameter{200, false}), "4,200,0"},
    {"Equalize", Item(FilterKind::Equalize, int32_t{0}), "5,0"},
    {"Posterize", Item(FilterKind::Posterize, int32_t{255}), "6,255"},
    {"Invert", Item(FilterKind::Invert, std::monostate{}), "7,"},
    {"ToneCurve", Item(FilterKind::ToneCurve, Curve({{0, 0}, {128, 200}, {255, 255}}, false)),
     "8,3,0,0,128,200,255,255,0"},
    {"Sharpen", Item(FilterKind::Sharpen, int32_t{300}), "9,300"},
    {"UnsharpMask", Item(FilterKind::UnsharpMask, TUnsharpMaskParameter{150, 5, 200}), "10,150,5,200"},
    {"Blur", Item(FilterKind::Blur, int32_t{3}), "11,3"},
    {"Trim", Item(FilterKind::Trim, TTrimParameter{1, 2, 3, 200}), "12,1,2,3,200"},
    {"AddMargin", Item(FilterKind::AddMargin, TMarginParameter{10, 0, 30, 0, 0x00FFFFFF}), "13,10,0,30,0,$00FFFFFF"},
};

INSTANTIATE_TEST_SUITE_P(Kinds, FormatTest, testing::ValuesIn(FormatCases),
                         [](const testing::TestParamInfo<TFormatCase>& info) { return std::string(info.param.Name); });

struct TReadCase {
    const char* Name;
    const char* Text;
    TFilterItem Expected;
};

class ReadDefaultsTest : public testing::TestWithParam<TReadCase> {};

TEST_P(ReadDefaultsTest, OutOfRangeValuesTakeTheirDefaults)
{
    const std::optional<TFilterItem> item = ParseFilterItem(GetParam().Text);
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(*item, GetParam().Expected);
}

const TReadCase ReadCases[] = {
    {"GrayscaleBase", "0,4", Item(FilterKind::Grayscale, int32_t{0})},
    // inB 300 -> 0; inW must exceed it; outB 255 -> 0; outW must exceed outB.
    {"LevelsBlack", "1,300,10,255,0,0", Item(FilterKind::Levels, TLevelsParameter{0, 10, 0, 255, false})},
    {"LevelsWhiteBelowBlack", "1,100,50,20,20,1", Item(FilterKind::Levels, TLevelsParameter{100, 255, 20, 255, true})},
    {"GammaRange", "2,19,-1", Item(FilterKind::Gamma, TCorrectionParameter{100, true})},
    {"ContrastRange", "3,201,0", Item(FilterKind::Contrast, TCorrectionParameter{100, false})},
    {"EqualizeFlag", "5,-1", Item(FilterKind::Equalize, int32_t{1})},
    {"PosterizeLevels", "6,1", Item(FilterKind::Posterize, int32_t{4})},
    {"SharpenStrength", "9,0", Item(FilterKind::Sharpen, int32_t{100})},
    {"Unsharp", "10,500,9,250", Item(FilterKind::UnsharpMask, TUnsharpMaskParameter{100, 2, 0})},
    {"BlurRadius", "11,6", Item(FilterKind::Blur, int32_t{1})},
    {"TrimSides", "12,-1,201,5,200", Item(FilterKind::Trim, TTrimParameter{0, 0, 5, 200})},
    {"MarginColour", "13,1,2,3,4,$000000FF", Item(FilterKind::AddMargin, TMarginParameter{1, 2, 3, 4, 0x000000FF})},
    // A tone curve's y out of range reads as 0; a count out of range as 2.
    {"ToneCurveY", "8,2,0,300,255,255,0", Item(FilterKind::ToneCurve, Curve({{0, 0}, {255, 255}}, false))},
    {"ToneCurveCount", "8,999,0,10,255,250,-1", Item(FilterKind::ToneCurve, Curve({{0, 10}, {255, 250}}, true))},
    // Flags: any non-zero number is true, and the words are understood.
    {"FlagWords", "2,120,True", Item(FilterKind::Gamma, TCorrectionParameter{120, true})},
    {"FlagOne", "4,120,1", Item(FilterKind::Brightness, TCorrectionParameter{120, true})},
    {"Blanks", " 6 , 8 ", Item(FilterKind::Posterize, int32_t{8})},
    {"InvertWithoutComma", "7", Item(FilterKind::Invert, std::monostate{})},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReadDefaultsTest, testing::ValuesIn(ReadCases),
                         [](const testing::TestParamInfo<TReadCase>& info) { return std::string(info.param.Name); });

class UnparsableTest : public testing::TestWithParam<const char*> {};

TEST_P(UnparsableTest, IsDropped)
{
    EXPECT_FALSE(ParseFilterItem(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Texts, UnparsableTest,
                         testing::Values("", "x", "14,1", "-1,0", "1,2,3", "2,abc,0", "2,120", "2,120,maybe",
                                         "12,1,2,3", "13,1,2,3,4", "13,1,2,3,4,white", "8,2,0,0,255",
                                         // x beyond 0..255, repeated, or going back
                                         "8,3,0,0,300,5,255,255,0", "8,3,0,0,128,5,128,7,0",
                                         "8,3,0,0,200,5,100,7,0", "8,2,-1,0,255,255,0"));

TEST(FilterSets, RoundTripThroughTheSettingsFile)
{
    TFilterSets sets;
    sets.Sets.push_back({"Scans", {Item(FilterKind::Grayscale, int32_t{0}),
                                   Item(FilterKind::Levels, TLevelsParameter{20, 230, 0, 255, false}),
                                   Item(FilterKind::ToneCurve, Curve({{0, 0}, {64, 40}, {255, 255}}, true))}});
    sets.Sets.push_back({"Empty", {}});
    sets.Sets.push_back({"漫画 = 見開き", {Item(FilterKind::AddMargin, TMarginParameter{5, 5, 5, 5, 0x00102030}),
                                          Item(FilterKind::Invert, std::monostate{})}});
    sets.Selected = 2;
    TIniFile ini;
    ini.WriteString("FILTER", "Obsolete", "1");
    ini.WriteString("OTHER", "Keep", "yes");
    WriteFilterSets(ini, sets);
    EXPECT_FALSE(ini.ValueExists("FILTER", "Obsolete"));
    EXPECT_EQ(ini.ReadString("OTHER", "Keep", ""), "yes");
    EXPECT_EQ(ini.ReadString("FILTER", "Item1-2", ""), "1,20,230,0,255,0");
    EXPECT_EQ(ini.ReadString("FILTER", "Count2", ""), "0");

    TIniFile reread;
    reread.LoadFromText(ini.ToText());
    const TFilterSets back = ReadFilterSets(reread);
    EXPECT_EQ(back, sets);
    ASSERT_NE(back.SelectedItems(), nullptr);
    EXPECT_EQ(back.SelectedItems()->size(), 2u);
}

TEST(FilterSets, ReadingSkipsWhatItCannotUse)
{
    TIniFile ini;
    ini.LoadFromText(
        "[FILTER]\n"
        "Select=5\n"
        "Name1=First\n"
        "Count1=4\n"
        "Item1-1=7,\n"
        "Item1-2=99,1\n"
        "Item1-4=6,3\n"
        "Name2=Second\n"
        "Count2=2000000000\n"
        "Item2-1=9,120\n"
        "Name4=Unreached\n"
        "Count4=1\n"
        "Item4-1=7,\n");
    const TFilterSets sets = ReadFilterSets(ini);
    ASSERT_EQ(sets.Sets.size(), 2u);
    // Item 2 does not parse, item 3 is missing: two items remain.
    EXPECT_EQ(sets.Sets[0].Items,
              (TFilterList{Item(FilterKind::Invert, std::monostate{}), Item(FilterKind::Posterize, int32_t{3})}));
    EXPECT_EQ(sets.Sets[1].Items, (TFilterList{Item(FilterKind::Sharpen, int32_t{120})}));
    // "Select" names no set.
    EXPECT_EQ(sets.Selected, -1);
    EXPECT_EQ(sets.SelectedItems(), nullptr);
}

TEST(FilterSets, MissingSectionReadsAsNoSets)
{
    const TFilterSets sets = ReadFilterSets(TIniFile());
    EXPECT_TRUE(sets.Sets.empty());
    EXPECT_EQ(sets.Selected, -1);
}

TEST(FilterSets, AnItemHoldingAnotherKindsRecordReadsAsItsDefault)
{
    const TFilterItem odd{FilterKind::Sharpen, TTrimParameter{}};
    EXPECT_EQ(odd.Value(), 100);
    EXPECT_EQ(FormatFilterItem(odd), "9,100");
    const TFilterItem curve{FilterKind::ToneCurve, int32_t{3}};
    EXPECT_EQ(FormatFilterItem(curve), "8,2,0,0,255,255,0");
}

}  // namespace
