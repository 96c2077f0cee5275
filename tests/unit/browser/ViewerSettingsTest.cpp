#include <gtest/gtest.h>

#include "browser/ViewerSettings.h"
#include "common/IniFile.h"
#include "support/TempFolder.h"

namespace {

struct TStateCase {
    const char* Name;
    const char* Section;  // the IMAGE section's lines
    TScaleMode Mode;
    int Detail;  // the fit kind, the ratio item or the size direction
    double CustomRatio;
};

class ReadViewStateTest : public ::testing::TestWithParam<TStateCase> {};

TEST_P(ReadViewStateTest, ChoosesOneScaleMode)
{
    const TStateCase& row = GetParam();
    TTempFolder folder;
    const TIniFile ini(folder.Write("s.ini", std::string("[IMAGE]\n") + row.Section));
    const TViewState state = ReadViewState(ini);
    EXPECT_EQ(state.ScaleMode, row.Mode);
    switch (row.Mode) {
    case TScaleMode::smFit: EXPECT_EQ(static_cast<int>(state.WindowFit), row.Detail); break;
    case TScaleMode::smRatio: EXPECT_EQ(state.RatioItem, row.Detail); break;
    case TScaleMode::smSize: EXPECT_EQ(static_cast<int>(state.SizeDir), row.Detail); break;
    }
    EXPECT_DOUBLE_EQ(state.CustomRatio, row.CustomRatio);
    EXPECT_EQ(state.Rotation, TRotation::rtNone);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadViewStateTest,
    ::testing::Values(TStateCase{"NothingFitsTheWhole", "Window=-1\nRatio=-1\nImageSize=0\n", TScaleMode::smFit, 0, 1.0},
                      TStateCase{"EmptySection", "", TScaleMode::smFit, 0, 1.0},
                      TStateCase{"FitHeight", "Window=2\nRatio=3\n", TScaleMode::smFit, 2, 1.0},
                      TStateCase{"RatioWhenNotFitting", "Window=-1\nRatio=9\nSetRatio=2.5\n", TScaleMode::smRatio, 9,
                                 2.5},
                      TStateCase{"RatioWrittenWithAComma", "Ratio=9\nSetRatio=1,25\n", TScaleMode::smRatio, 9, 1.25},
                      TStateCase{"SizeWhenNeither", "ImageSize=1\nSizeDir=1\n", TScaleMode::smSize, 1, 1.0},
                      TStateCase{"WindowOutOfRange", "Window=7\nRatio=2\n", TScaleMode::smRatio, 2, 1.0},
                      TStateCase{"RatioOutOfRange", "Ratio=10\n", TScaleMode::smFit, 0, 1.0},
                      TStateCase{"EnteredRatioTooLarge", "Ratio=9\nSetRatio=9\n", TScaleMode::smRatio, 9, 1.0},
                      TStateCase{"EnteredRatioTooSmall", "Ratio=9\nSetRatio=0.001\n", TScaleMode::smRatio, 9, 1.0},
                      TStateCase{"EnteredRatioNotANumber", "Ratio=9\nSetRatio=1.5x\n", TScaleMode::smRatio, 9, 1.0},
                      TStateCase{"SizeDirOutOfRange", "ImageSize=1\nSizeDir=2\n", TScaleMode::smSize, 0, 1.0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ViewState, ModesBindingAndOptionsRead)
{
    TTempFolder folder;
    const TIniFile ini(folder.Write("s.ini", "[IMAGE]\nView=2\nBind=1\nNoEnlarge=0\nEqualHeight=1\nEqualRatio=1\n"
                                             "Centetr=1\nHalfV=1\nSetSize=9000\nAutoRotate=1\n"));
    const TViewState state = ReadViewState(ini);
    EXPECT_EQ(state.ViewMode, TViewMode::vmSpread);
    EXPECT_EQ(state.Binding, TBinding::bdLeft);
    EXPECT_FALSE(state.NoEnlarge);
    // Equal heights and equal ratios exclude each other; heights win.
    EXPECT_TRUE(state.EqualHeight);
    EXPECT_FALSE(state.EqualRatio);
    EXPECT_TRUE(state.Center);
    EXPECT_TRUE(state.HalfV);
    EXPECT_FALSE(state.HalfH);
    EXPECT_EQ(state.SetSize, 1000);
    EXPECT_TRUE(state.AutoRotate);

    const TIniFile odd(folder.Write("o.ini", "[IMAGE]\nView=3\nBind=2\n"));
    EXPECT_EQ(ReadViewState(odd).ViewMode, TViewMode::vmAuto);
    EXPECT_EQ(ReadViewState(odd).Binding, TBinding::bdRight);
}

TEST(ViewState, WrittenStateReadsBack)
{
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    state.Binding = TBinding::bdLeft;
    state.ScaleMode = TScaleMode::smRatio;
    state.RatioItem = 9;
    state.CustomRatio = 0.3;
    state.SetSize = 777;
    state.SizeDir = TSizeDir::sdWidth;
    state.EqualHeight = false;
    state.EqualRatio = true;
    state.HalfH = true;
    TTempFolder folder;
    TIniFile ini(folder.File("s.ini"));
    WriteViewState(ini, state);
    const TViewState read = ReadViewState(ini);
    EXPECT_EQ(read.ViewMode, state.ViewMode);
    EXPECT_EQ(read.Binding, state.Binding);
    EXPECT_EQ(read.ScaleMode, state.ScaleMode);
    EXPECT_EQ(read.RatioItem, 9);
    EXPECT_DOUBLE_EQ(read.CustomRatio, 0.3);
    EXPECT_EQ(read.SetSize, 777);
    EXPECT_EQ(read.SizeDir, TSizeDir::sdWidth);
    EXPECT_FALSE(read.EqualHeight);
    EXPECT_TRUE(read.EqualRatio);
    EXPECT_TRUE(read.HalfH);
    EXPECT_EQ(ini.ReadInteger("IMAGE", "Window", 0), -1);
}

TEST(ViewerOptions, ComeFromTheOptionsAndTheKeyBindings)
{
    TOptions options;
    options.Picture.Stretch = TStretchMode::smBicubic;
    options.Picture.Back = clWindow;
    options.Picture.FirstImage = true;
    options.Move.LastFileMove = TEndOfList::elFolder;
    options.Scroll.LineScrollMoveCommand = TScrollMoveCommand::mcJump;
    options.Scroll.PageScrollOverLap = 77;
    options.Mouse.EdgeWheelCount = 3;
    options.Cache.FileCacheSize = 42;
    TKeyBindings keys = DefaultKeyBindings();
    keys.MoveExchange = true;
    keys.PageScrollExchange = false;
    keys.LineScrollExchange = true;

    const TViewerOptions v = ViewerOptionsFrom(options, keys, [](TColor) { return MakeColor(1, 2, 3); });
    EXPECT_EQ(v.Picture.Stretch, TStretchMode::smBicubic);
    EXPECT_EQ(v.Picture.Back, MakeColor(1, 2, 3));
    // A colour the theme leaves a system colour takes the fixed colours.
    options.Picture.Back = clWindow;
    EXPECT_EQ(ViewerOptionsFrom(options, keys, [](TColor c) { return c; }).Picture.Back, clWhite);
    EXPECT_TRUE(v.Picture.FirstImage);
    EXPECT_EQ(v.Move.LastFileMove, TEndOfList::elFolder);
    EXPECT_EQ(v.Scroll.Line.MoveCommand, TScrollMoveCommand::mcJump);
    EXPECT_EQ(v.Scroll.Page.OverLap, 77);
    EXPECT_EQ(v.Scroll.EdgeWheelCount, 3);
    EXPECT_EQ(v.Cache.FileCacheSize, 42);
    EXPECT_TRUE(v.Scroll.MoveExchange);
    EXPECT_TRUE(v.Scroll.S_MoveExchange);
    EXPECT_FALSE(v.Scroll.Page.Exchange);
    EXPECT_TRUE(v.Scroll.Line.Exchange);
}

}  // namespace
