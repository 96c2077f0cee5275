// The filter editing models: tone-curve drags, level markers, the value
// texts, the working copy of the sets, and a set edited through them giving
// the same pixels as the same set written in the settings file.

#include <gtest/gtest.h>

#include <cstring>

#include "app/FilterSettingsStore.h"
#include "common/IniFile.h"
#include "imaging/FilterEditors.h"
#include "imaging/FilterProc.h"
#include "imaging/FilterSetEditor.h"

namespace {

using TPoints = std::vector<TToneCurvePoint>;

struct TCurveCase {
    const char* Name;
    TPoints Start;
    int PressX, PressY;
    int DragX, DragY;
    TPoints Expected;
    int PickedAfter;
};

class CurveDragTest : public testing::TestWithParam<TCurveCase> {};

TEST_P(CurveDragTest, KeepsXIncreasing)
{
    const TCurveCase& c = GetParam();
    TToneCurveInfo info;
    info.Points = c.Start;
    TToneCurveModel model(info);
    model.PressValue(c.PressX, c.PressY);
    model.DragValue(c.DragX, c.DragY);
    EXPECT_EQ(model.Curve().Points, c.Expected);
    EXPECT_EQ(model.Picked(), c.PickedAfter);
    EXPECT_TRUE(model.Curve().Valid());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CurveDragTest,
    testing::Values(
        TCurveCase{"PressInsertsInOrder", {{0, 0}, {255, 255}}, 100, 150, 100, 150, {{0, 0}, {100, 150}, {255, 255}}, 1},
        TCurveCase{"PressWithinThreePicks", {{0, 0}, {100, 100}, {255, 255}}, 103, 0, 110, 90,
                   {{0, 0}, {110, 90}, {255, 255}}, 1},
        TCurveCase{"FirstPointPassingDeletes", {{0, 0}, {50, 80}, {120, 90}, {255, 255}}, 0, 0, 60, 10,
                   {{60, 10}, {120, 90}, {255, 255}}, 0},
        TCurveCase{"FirstPointStopsBeforeLast", {{0, 0}, {255, 255}}, 0, 0, 300, 20, {{254, 20}, {255, 255}}, 0},
        TCurveCase{"LastPointPassingDeletes", {{0, 0}, {50, 80}, {200, 90}, {255, 255}}, 255, 255, 150, 300,
                   {{0, 0}, {50, 80}, {150, 255}}, 2},
        TCurveCase{"InnerOntoNeighbourDeletes", {{0, 0}, {50, 80}, {200, 90}, {255, 255}}, 200, 90, 50, 90,
                   {{0, 0}, {50, 80}, {255, 255}}, -1},
        TCurveCase{"YIsClamped", {{0, 0}, {128, 128}, {255, 255}}, 128, 128, 129, -40,
                   {{0, 0}, {129, 0}, {255, 255}}, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ToneCurveModel, PanelRowsStandForValuesUpward)
{
    EXPECT_EQ(TToneCurveModel::ValueOfY(0, 256), 255);
    EXPECT_EQ(TToneCurveModel::ValueOfY(255, 256), 0);
    EXPECT_EQ(TToneCurveModel::ValueOfX(256, 256), 255);
    // The table the editor draws is the one the filter applies.
    TToneCurveInfo info;
    info.Points = {{0, 0}, {64, 128}, {255, 255}};
    EXPECT_EQ(TToneCurveModel(info).Table(), *ToneCurveTable(info));
}

TEST(LevelMarkers, BlackAt200KeepsWhiteAbove)
{
    TLevelMarkers markers(0, 255);
    EXPECT_TRUE(markers.SetBlack(200));
    EXPECT_EQ(markers.WhiteMin(), 201);
    markers.SetWhite(150);
    EXPECT_EQ(markers.White(), 201);
    // A press right of the halfway point (200 + 201) / 2 picks white; the
    // drag cannot take it below black + 1.
    EXPECT_EQ(markers.Press(201 + 6, 12), TLevelMarker::lmWhite);
    markers.DragTo(6, 12);
    EXPECT_EQ(markers.White(), 201);
    EXPECT_EQ(markers.Press(200 + 6, 12), TLevelMarker::lmBlack);
    markers.DragTo(300, 12);
    EXPECT_EQ(markers.Black(), 200);
}

struct TTextCase {
    const char* Text;
    std::optional<int> Gamma;
    std::optional<int> Correction;
};

class ValueTextTest : public testing::TestWithParam<TTextCase> {};

TEST_P(ValueTextTest, ReadsTypedText)
{
    EXPECT_EQ(ParseGammaText(GetParam().Text, 20), GetParam().Gamma);
    EXPECT_EQ(ParseCorrectionText(GetParam().Text, 0), GetParam().Correction);
}

INSTANTIATE_TEST_SUITE_P(Rows, ValueTextTest,
                         testing::Values(TTextCase{"", 20, 0}, TTextCase{"1", 100, 101}, TTextCase{"0.5", 50, std::nullopt},
                                         TTextCase{"5", 180, 105}, TTextCase{"1.07", 101, std::nullopt},
                                         TTextCase{"0.205", 21, std::nullopt}, TTextCase{"1.2.3", std::nullopt, std::nullopt},
                                         TTextCase{"-30", -3000, 70}, TTextCase{"abc", std::nullopt, std::nullopt}));

TEST(ValueText, ShownGammaFollowsTheMapping)
{
    EXPECT_EQ(ShownGamma(100), "1.00");
    EXPECT_EQ(ShownGamma(50), "0.50");
    EXPECT_EQ(ShownGamma(180), "5.00");
    EXPECT_EQ(ShownGamma(120), "2.00");
}

TFilterSets ThreeSets()
{
    TFilterSets sets;
    for (const char* name : {"a", "b", "c"})
        sets.Sets.push_back(TFilterSet{name, {TFilterItem::Default(FilterKind::Invert)}});
    sets.Selected = 1;
    return sets;
}

TEST(FilterSetEditor, TenSetsAtMost)
{
    TFilterSetEditor editor(ThreeSets());
    for (int i = 0; i < 10; ++i)
        editor.AddSet();
    EXPECT_EQ(editor.Count(), 10);
    EXPECT_FALSE(editor.CanAddSet());
    EXPECT_FALSE(editor.CanCopySet());
    editor.CopySet();
    EXPECT_EQ(editor.Count(), 10);
    EXPECT_EQ(TFilterSetEditor::RowCaption(0), " 1:");
    EXPECT_EQ(TFilterSetEditor::RowCaption(9), "10:");
}

TEST(FilterSetEditor, TickFollowsMovesAndGoesWithItsSet)
{
    TFilterSetEditor editor(ThreeSets());
    EXPECT_EQ(editor.Current(), 1);
    editor.MoveSetUp();
    EXPECT_EQ(editor.Ticked(), 0);
    EXPECT_EQ(editor.Set(0).Name, "b");
    editor.SelectRow(2);
    editor.SetTicked(2, true);
    EXPECT_EQ(editor.Ticked(), 2);
    editor.SetTicked(2, false);
    EXPECT_EQ(editor.Ticked(), -1);
    editor.SetTicked(2, true);
    editor.DeleteSet();
    EXPECT_EQ(editor.Ticked(), -1);
    EXPECT_EQ(editor.Current(), 1);
}

TEST(FilterSetEditor, ItemLinesAndTheEndLine)
{
    TFilterSetEditor editor(ThreeSets());
    editor.SelectLine(1);  // the end line
    EXPECT_FALSE(editor.CanEditItem());
    editor.InsertItem(TFilterItem::Default(FilterKind::Blur));
    editor.SelectLine(0);
    EXPECT_FALSE(editor.CanEditItem());  // Invert has nothing to set
    EXPECT_FALSE(editor.CanMoveItemUp());
    editor.MoveItemDown();
    EXPECT_EQ(editor.Items()[0].Kind, FilterKind::Blur);
    editor.SelectLine(1);
    editor.RemoveItem();
    EXPECT_EQ(editor.Line(), 0);
    EXPECT_EQ(editor.Items().size(), 1u);
}

// A page with gradients, so that every table sees many levels.
TBitmap Page()
{
    TBitmap b(64, 48, 24);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            uint8_t* p = b.ScanLine(y) + x * 3;
            p[0] = static_cast<uint8_t>(x * 4);
            p[1] = static_cast<uint8_t>(y * 5);
            p[2] = static_cast<uint8_t>((x + y) * 2);
        }
    return b;
}

TEST(FilterSetEditor, EditedSetGivesThePixelsOfTheSameSetInTheSettingsFile)
{
    TFilterSetEditor editor(TFilterSets{});
    editor.AddSet();
    editor.Rename("book");
    TLevelMarkers in(0, 255);
    in.SetBlack(30);
    in.SetWhite(220);
    editor.InsertItem(TFilterItem{FilterKind::Levels, TLevelsParameter{static_cast<uint8_t>(in.Black()),
                                                                       static_cast<uint8_t>(in.White()), 10, 240, false}});
    TToneCurveModel curve;
    curve.PressValue(64, 100);
    curve.DragValue(70, 110);
    editor.InsertItem(TFilterItem{FilterKind::ToneCurve, curve.Curve()});
    editor.InsertItem(TFilterItem{FilterKind::Gamma, TCorrectionParameter{*ParseGammaText("1.5", 20), true}});
    editor.SetTicked(0, true);

    TFilterSettingsStore store;
    store.Sets() = editor.Result();
    TIniFile written;
    store.WriteFilterSection(written);
    TFilterSettingsStore fromEditor;
    fromEditor.ReadFilterSection(written);

    TIniFile typed;
    typed.LoadFromText("[FILTER]\nSelect=0\nName1=book\nCount1=3\nItem1-1=2,110,-1\n"
                       "Item1-2=8,3,0,0,70,110,255,255,0\nItem1-3=1,30,220,10,240,0\n");
    TFilterSettingsStore fromFile;
    fromFile.ReadFilterSection(typed);

    ASSERT_NE(fromEditor.Sets().SelectedItems(), nullptr);
    ASSERT_NE(fromFile.Sets().SelectedItems(), nullptr);
    EXPECT_EQ(fromEditor.Sets(), fromFile.Sets());
    TBitmap a = Page();
    TBitmap b = Page();
    bool grayA = false, grayB = false;
    ApplyFilters(a, *fromEditor.Sets().SelectedItems(), grayA);
    ApplyFilters(b, *fromFile.Sets().SelectedItems(), grayB);
    ASSERT_EQ(a.Stride(), b.Stride());
    EXPECT_EQ(0, std::memcmp(a.Bits(), b.Bits(), a.Stride() * static_cast<size_t>(a.Height())));
    EXPECT_NE(0, std::memcmp(a.Bits(), Page().Bits(), a.Stride() * static_cast<size_t>(a.Height())));
}

}  // namespace
