#include <gtest/gtest.h>

#include <functional>

#include "browser/WindowState.h"
#include "common/IniFile.h"

namespace {

TWindowState Read(const std::string& state)
{
    TIniFile ini;
    ini.LoadFromText("[STATE]\n" + state);
    return ReadWindowStateSection(ini);
}

TScreenInfo Screen(int width, int height, double scale = 1.0)
{
    TScreenInfo info;
    info.WorkArea = {0, 0, width, height};
    info.Scale = scale;
    info.Screens = {info.WorkArea};
    return info;
}

// One key and what it reads as.
struct TKeyCase {
    const char* Name;
    const char* Line;
    std::function<int(const TWindowState&)> Value;
    int Expected;
};

class WindowStateKeys : public testing::TestWithParam<TKeyCase> {};

TEST_P(WindowStateKeys, ReadWithTheirDefaultsAndRanges)
{
    EXPECT_EQ(GetParam().Value(Read(GetParam().Line)), GetParam().Expected);
}

const auto sortIndex = [](const TWindowState& s) { return s.FolderSort.Index; };
const auto sortDir = [](const TWindowState& s) { return static_cast<int>(s.FolderSort.Dir); };
const auto archiveIndex = [](const TWindowState& s) { return s.ArchiveSort.Index; };
const auto groupDir = [](const TWindowState& s) { return static_cast<int>(s.ShelfSort.Dir); };
const auto folderSplitter = [](const TWindowState& s) { return s.Normal.Tree[0].value_or(-1); };
const auto searchSplitterFull = [](const TWindowState& s) { return s.FullScreen.Tree[4].value_or(-1); };
const auto splitter2 = [](const TWindowState& s) { return s.Normal.FileOverImage.value_or(-1); };
const auto hasBounds = [](const TWindowState& s) { return s.Bounds ? 1 : 0; };
const auto shellHeader = [](const TWindowState& s) { return static_cast<int>(s.FileHeaders[0].size()); };

INSTANTIATE_TEST_SUITE_P(
    Keys, WindowStateKeys,
    testing::Values(TKeyCase{"SortIndexAbsent", "", sortIndex, 0}, TKeyCase{"SortIndex10", "SortIndex=10", sortIndex, 10},
                    TKeyCase{"SortIndex11", "SortIndex=11", sortIndex, 0},
                    TKeyCase{"SortDirNone", "SortDir=2", sortDir, 2}, TKeyCase{"SortDir3", "SortDir=3", sortDir, 0},
                    TKeyCase{"ArchiveSortIndex4", "ArchiveSortIndex=4", archiveIndex, 0},
                    TKeyCase{"ArchiveSortIndex3", "ArchiveSortIndex=3", archiveIndex, 3},
                    TKeyCase{"GroupSortDirNegative", "GroupSortDir=-1", groupDir, 0},
                    TKeyCase{"SplitterAbsent", "", folderSplitter, -1},
                    TKeyCase{"SplitterBelowMinimum", "FolderSplitter=3", folderSplitter, MinimumPaneSize},
                    TKeyCase{"SplitterNoNumber", "FolderSplitter=wide", folderSplitter, -1},
                    TKeyCase{"FullScreenKeysApart", "SearchSplitter=200\nSearchSplitter_Full=240", searchSplitterFull,
                             240},
                    TKeyCase{"Splitter2", "Splitter2=180", splitter2, 180},
                    TKeyCase{"BoundsComplete", "Left=1\nTop=2\nWidth=800\nHeight=600", hasBounds, 1},
                    TKeyCase{"BoundsWithoutHeight", "Left=1\nTop=2\nWidth=800", hasBounds, 0},
                    TKeyCase{"NegativeWidth", "Left=1\nTop=2\nWidth=-800\nHeight=600", hasBounds, 0},
                    TKeyCase{"HugeHeight", "Left=1\nTop=2\nWidth=800\nHeight=900000", hasBounds, 0},
                    TKeyCase{"Header", "ShellHeader=200,60,80,120", shellHeader, 4},
                    TKeyCase{"DamagedHeader", "ShellHeader=200,x,80", shellHeader, 0},
                    TKeyCase{"NegativeWidthInHeader", "ShellHeader=200,-5", shellHeader, 0}),
    [](const testing::TestParamInfo<TKeyCase>& info) { return std::string(info.param.Name); });

TEST(WindowState, WritesWhatItReads)
{
    TWindowState state;
    state.Bounds = TWindowRect{-20, 15, 900, 640};
    state.Max = true;
    state.Normal.Tree[1] = 310;
    state.FullScreen.TreeOverFile = 220;
    state.FileHeaders[2] = {150, 0, 90};
    state.ArchiveHeader = {300, 70, 70, 130};
    state.FolderSort = {3, TSortDir::sdDesc};
    state.ShelfSort = {1, TSortDir::sdNone};
    state.ArchiveSort = {2, TSortDir::sdAsc};
    TIniFile ini;
    WriteWindowStateSection(ini, state);
    TIniFile again;
    again.LoadFromText(ini.ToText());
    EXPECT_EQ(ReadWindowStateSection(again), state);
}

struct TBoundsCase {
    const char* Name;
    std::optional<TWindowRect> Stored;
    TScreenInfo Screens;
    TWindowRect Expected;
};

class WindowBoundsTest : public testing::TestWithParam<TBoundsCase> {};

TEST_P(WindowBoundsTest, PlacesTheWindow)
{
    TWindowState state;
    state.Bounds = GetParam().Stored;
    EXPECT_EQ(WindowBounds(state, GetParam().Screens), GetParam().Expected);
}

TScreenInfo Offset(TScreenInfo info, int left, int top)
{
    info.WorkArea.Left = left;
    info.WorkArea.Top = top;
    info.Screens = {info.WorkArea};
    return info;
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, WindowBoundsTest,
    testing::Values(
        TBoundsCase{"NothingStoredIsCentred", std::nullopt, Screen(1920, 1050), {535, 150, 850, 750}},
        TBoundsCase{"SmallWorkAreaGivesTheSmallWindow", std::nullopt, Screen(1024, 740), {137, 95, 750, 550}},
        TBoundsCase{"At144DpiTheDefaultScales", std::nullopt, Screen(2560, 1400, 1.5), {642, 137, 1275, 1125}},
        TBoundsCase{"At144Dpi850Gives1275", TWindowRect{10, 20, 850, 700}, Screen(2560, 1400, 1.5),
                    {15, 30, 1275, 1050}},
        TBoundsCase{"RelativeToTheWorkArea", TWindowRect{10, 20, 400, 300}, Offset(Screen(1280, 1000), 0, 24),
                    {10, 44, 400, 300}},
        // The monitor it stood on was removed: nobody could reach it.
        TBoundsCase{"OnNoScreenGivesTheDefault", TWindowRect{2500, 100, 800, 600}, Screen(1920, 1050),
                    {535, 150, 850, 750}},
        TBoundsCase{"OnlyAnEdgeVisibleGivesTheDefault", TWindowRect{1900, 100, 800, 600}, Screen(1920, 1050),
                    {535, 150, 850, 750}},
        TBoundsCase{"PartlyOffScreenStays", TWindowRect{1500, 100, 800, 600}, Screen(1920, 1050),
                    {1500, 100, 800, 600}}),
    [](const testing::TestParamInfo<TBoundsCase>& info) { return std::string(info.param.Name); });

TEST(WindowBounds, ASecondScreenKeepsAWindowStandingOnIt)
{
    TScreenInfo screens = Screen(1920, 1050);
    screens.Screens.push_back({1920, 0, 1280, 1024});
    TWindowState state;
    state.Bounds = TWindowRect{2500, 100, 600, 500};
    EXPECT_EQ(WindowBounds(state, screens), (TWindowRect{2500, 100, 600, 500}));
}

TEST(WindowBounds, StoredBoundsComeBackAfterScaling)
{
    const TScreenInfo screens = Offset(Screen(2560, 1400, 1.5), 0, 36);
    TWindowState state;
    StoreWindowBounds(state, {303, 336, 1275, 900}, screens);
    ASSERT_TRUE(state.Bounds);
    EXPECT_EQ(*state.Bounds, (TWindowRect{202, 200, 850, 600}));
    EXPECT_EQ(WindowBounds(state, screens), (TWindowRect{303, 336, 1275, 900}));
}

}  // namespace
